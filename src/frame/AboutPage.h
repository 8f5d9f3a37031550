#pragma once

#include "frame/PropertyPage.h"

namespace vq {

// The About page that several controls list: the control's name and the library's version. It edits
// nothing and never marks itself changed. One class serves every control; the registered pages
// (VqTxtAbout, VqListAbout, VqComboAbout, VqPListAbout, VqHiearArchyComboAbout) differ only in their title
// and picture.
class AboutPage : public PropertyPage
{
    Q_OBJECT

public:
    AboutPage(const QString &title, const QString &picture, QWidget *parent = nullptr);
    ~AboutPage() override;

    // "Version " and the library's own major, minor and revision numbers, as compiled in.
    static QString versionText();
};

} // namespace vq
