#include "frame/AboutPage.h"

#include "frame/ClassTable.h"
#include "platform/Twips.h"
#include "platform/Version.h"

#include <QFrame>
#include <QLabel>

namespace vq {

namespace {

struct AboutEntry
{
    const char *name;
    const char *title;
    const char *picture;
};

constexpr AboutEntry AboutPages[] = {
    {"VqTxtAbout", "VqActiveXTextBox Flexible Control", ":/vq/about/text.png"},
    {"VqListAbout", "VqActiveXListBox Flexible Control", ":/vq/about/list.png"},
    {"VqComboAbout", "VqActiveXComboBox Flexible Control", ":/vq/about/combo.png"},
    {"VqPListAbout", "VqActiveX Portable ListBox Flexible Control", ":/vq/about/list.png"},
    {"VqHiearArchyComboAbout", "VqActiveX Hierarchy Combo Box  Flexible Control", ":/vq/about/tree.png"},
};

bool registerPages()
{
    for (const AboutEntry &entry : AboutPages) {
        ClassTable::registerConstructor(
            QString::fromLatin1(entry.name), [entry](QWidget *parent) -> QObject * {
                auto *page = new AboutPage(
                    QString::fromLatin1(entry.title), QString::fromLatin1(entry.picture), parent);
                page->setObjectName(QString::fromLatin1(entry.name));
                return page;
            });
    }
    return true;
}

const bool registered = registerPages();

QLabel *label(
    QWidget *parent, const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    twips::setGeometry(l, left, top, width, height);
    return l;
}

QFrame *rule(QWidget *parent, const char *name, const QColor &color, int top)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, color);
    line->setPalette(p);
    twips::setGeometry(line, 1335, top, 3885, 15);
    return line;
}

} // namespace

AboutPage::AboutPage(const QString &title, const QString &picture, QWidget *parent)
    : PropertyPage(parent)
{
    setWindowTitle(tr("About"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    setPageSize(5925, 4155);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    twips::setGeometry(frame, 0, 0, 5925, 4155);

    auto *image = new QLabel(frame);
    image->setObjectName(QStringLiteral("imgVqTextBox"));
    image->setPixmap(QPixmap(picture));
    image->setAlignment(Qt::AlignCenter);
    twips::setGeometry(image, 480, 360, 645, 480);

    QLabel *titleLabel = label(frame, "lblTitle", title, 1335, 480, 2775, 225);
    // The longer titles need more room than the design width: the label grows to its text, as an
    // autosizing label would, rather than cutting the name short.
    titleLabel->resize(qMax(titleLabel->width(), titleLabel->sizeHint().width()), titleLabel->height());
    // An engraved rule under the title: a grey line over a white one.
    rule(frame, "Line1_0", QColor(128, 128, 128), 810);
    rule(frame, "Line1_1", QColor(255, 255, 255), 825);

    label(frame, "lblVersion", versionText(), 1335, 1020, 3885, 225);
    QLabel *description = label(frame, "lblDescription",
        tr("This control was developed by the makers of VqControls for their own data-entry programs. "
           "More about it is in the VqControls documentation."),
        1335, 1440, 3885, 960);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label(frame, "lblDisclaimer", tr("All rights reserved."), 225, 3270, 2055, 300);
}

AboutPage::~AboutPage() = default;

QString AboutPage::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(VQ_VERSION_MAJOR)
        .arg(VQ_VERSION_MINOR)
        .arg(VQ_VERSION_PATCH);
}

} // namespace vq
