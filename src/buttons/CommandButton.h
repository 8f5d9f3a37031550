#pragma once

#include "frame/Control.h"

#include <QIcon>
#include <QPixmap>

#include <memory>

class QFrame;
class QPushButton;

namespace vq {

// The one design behind the library's command buttons: a push button (Command1) inside a thin frame
// (Frame1) whose caption line lies above the control's top edge, so that only its border shows. While
// Command1 has the focus the border goes and the caption turns italic.
//
// Each kind is its own small class (VqOKButton, VqSaveButton …, buttons/CommandButtons.h) that only names
// its captions; kinds with an Enabled property derive from CommandButtonWithEnabled instead.
class CommandButton : public Control
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    // What tells the kinds apart.
    struct Kind
    {
        const char *className; // also names the kind's pictures
        const char *designCaption; // shown by a newly placed button
        const char *savedDefaultCaption; // the default under which "Caption" is saved and read
        qreal pointSize = 8.25;
        int frameWidth = 1120; // twips
    };

    ~CommandButton() override;

    QString Caption() const;
    void setCaption(const QString &caption);

    // 1 (fixed single) normally, 0 while Command1 has the focus.
    int borderStyle() const;
    QString defaultCaption() const;

    // A newly placed button keeps its design caption: there is nothing to initialise. "Caption" is saved
    // under the kind's saved default, then "Enabled" where the kind has it.
    const PropertyTable &propertyTable() const override;

    // The 15 x 15 picture on the button of a kind; null when the library has none.
    static QIcon buttonPicture(const QString &className);

Q_SIGNALS:
    // Command1 was pressed: a click, or space or ENTER while it has the focus.
    void Click();

protected:
    CommandButton(const Kind &kind, QWidget *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFocusCue(bool focused);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
