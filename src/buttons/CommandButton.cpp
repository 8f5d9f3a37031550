#include "buttons/CommandButton.h"

#include "frame/PropertyTable.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace vq {

namespace {
// The frame's caption line: the frame sits this far above the control so that its top border, drawn
// through the middle of the (empty) caption, meets the control's top edge.
constexpr int CaptionLine = 90;
} // namespace

struct CommandButton::Private
{
    Kind kind;
    QFrame *frame1 = nullptr;
    QPushButton *command1 = nullptr;
    int borderStyle = 1;
    std::unique_ptr<PropertyTable> table;
};

CommandButton::CommandButton(const Kind &kind, QWidget *parent)
    : Control(parent)
    , d(std::make_unique<Private>())
{
    d->kind = kind;
    setObjectName(QString::fromLatin1(kind.className));
    setFocusPolicy(Qt::NoFocus);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(kind.pointSize);
    setFont(font);
    setDesignSize(kind.className);

    d->frame1 = new QFrame(this);
    d->frame1->setObjectName(QStringLiteral("Frame1"));
    twips::setGeometry(d->frame1, 0, -CaptionLine, kind.frameWidth, 580);
    const int line = twips::toPixelsY(CaptionLine, this);
    d->frame1->setFrameStyle(QFrame::Box | QFrame::Plain);
    d->frame1->setLineWidth(1);
    d->frame1->setFrameRect(QRect(0, line, d->frame1->width(), d->frame1->height() - line));

    d->command1 = new QPushButton(QString::fromLatin1(kind.designCaption), d->frame1);
    d->command1->setObjectName(QStringLiteral("Command1"));
    twips::setGeometry(d->command1, 15, 120, 1100, 450);
    d->command1->setIcon(buttonPicture(QString::fromLatin1(kind.className)));
    d->command1->setIconSize(QSize(15, 15));
    // In a QDialog every push button would otherwise take part in the dialog's default-button handling, and
    // ENTER in any field would click the first of them. Command1 is pressed only by the mouse, or by Space or
    // ENTER while it has the focus.
    d->command1->setAutoDefault(false);
    d->command1->setDefault(false);
    d->command1->installEventFilter(this);
    setFocusProxy(d->command1);
    connect(d->command1, &QPushButton::clicked, this, [this] { Q_EMIT Click(); });
}

CommandButton::~CommandButton() = default;

QString CommandButton::Caption() const
{
    return d->command1->text();
}

void CommandButton::setCaption(const QString &caption)
{
    d->command1->setText(caption);
    PropertyChanged(QStringLiteral("Caption"));
}

int CommandButton::borderStyle() const
{
    return d->borderStyle;
}

QString CommandButton::defaultCaption() const
{
    return QString::fromLatin1(d->kind.savedDefaultCaption);
}

const PropertyTable &CommandButton::propertyTable() const
{
    // Built on first use, when the meta-object is the kind's own and tells whether it has Enabled.
    if (!d->table) {
        std::vector<PropertyTable::Entry> entries {{"Caption", BagType::String, defaultCaption()}};
        if (metaObject()->indexOfProperty("Enabled") >= 0)
            entries.emplace_back("Enabled", BagType::Boolean, true);
        d->table = std::make_unique<PropertyTable>(std::move(entries));
    }
    return *d->table;
}

QIcon CommandButton::buttonPicture(const QString &className)
{
    const QPixmap picture(QStringLiteral(":/vq/buttons/%1.png").arg(className));
    return picture.isNull() ? QIcon() : QIcon(picture);
}

void CommandButton::setFocusCue(bool focused)
{
    d->borderStyle = focused ? 0 : 1;
    d->frame1->setFrameShape(focused ? QFrame::NoFrame : QFrame::Box);
    QFont font = d->command1->font();
    font.setItalic(focused);
    d->command1->setFont(font);
}

bool CommandButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != d->command1)
        return Control::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Another window or a pop-up taking the focus for a while is not the button losing it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            setFocusCue(event->type() == QEvent::FocusIn);
        break;
    }
    case QEvent::KeyPress: {
        // ENTER presses a focused button wherever it stands, not only inside a dialog.
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !key->isAutoRepeat()) {
            d->command1->click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return Control::eventFilter(watched, event);
}

} // namespace vq
