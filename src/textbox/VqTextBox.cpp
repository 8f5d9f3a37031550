#include "textbox/VqTextBox.h"

#include "frame/BagValues.h"
#include "frame/ClassTable.h"
#include "frame/EntryField.h"
#include "frame/FocusMarker.h"
#include "frame/PropertyBag.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/OleColor.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"
#include "textbox/KeystrokeFilter.h"
#include "textbox/LeaveField.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqTextBox"), [](QWidget *parent) -> QObject * { return new VqTextBox(parent); });

// The edit field cannot hold "no limit" as 0; the control's 0 is kept as the field's own maximum.
constexpr int FieldUnlimited = 32767;

constexpr char PasswordCharKey[] = "vqPasswordChar";
constexpr char ForeColorKey[] = "vqForeColor";

Qt::Alignment toQt(short alignment)
{
    switch (alignment) {
    case 1:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

short fromQt(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return 1;
    if (a & Qt::AlignHCenter)
        return 2;
    return 0;
}

} // namespace

struct VqTextBox::Private
{
    vq::EntryField *text1 = nullptr;
    QLabel *image1 = nullptr;

    QString value;
    uchar pCase = 0;
    uchar pDataType = 0;
    short pDecimal = -1;
    short thousandSeperator = -1;
    short emptyCheck = 0;
    short savedAlignment = 0;
    int surfaceStyle = 0;
};

VqTextBox::VqTextBox(QWidget *parent)
    : vq::Control(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqTextBox"));
    setFocusPolicy(Qt::NoFocus);

    d->text1 = new vq::EntryField(this);
    d->text1->setObjectName(QStringLiteral("Text1"));
    d->text1->setMaxLength(25);
    d->text1->setAlignment(toQt(0));
    d->text1->setProperty(ForeColorKey, uint(vq::olecolor::WindowText));
    setFocusProxy(d->text1);

    d->image1 = new QLabel(this);
    d->image1->setObjectName(QStringLiteral("Image1"));
    d->image1->setPixmap(vq::focusMarkerPixmap(16));
    d->image1->setAlignment(Qt::AlignCenter);
    d->image1->hide();

    resize(vq::twips::toPixelsX(2640, this), vq::twips::toPixelsY(330, this));
    vq::twips::setGeometry(d->text1, 0, 0, 2100, 315);
    vq::twips::setGeometry(d->image1, 2100, -90, 480, 480);

    d->text1->onFocusIn = [this] { enterField(); };
    d->text1->onFocusOut = [this] { leaveField(); };
    d->text1->onKeyPress = [this](QKeyEvent *e) { return handleKey(e); };
    d->text1->onMousePress = [this](QMouseEvent *e) {
        if (d->pDataType != 0 && e->button() == Qt::RightButton)
            QApplication::clipboard()->clear();
    };
    d->text1->onDoubleClick = [this] { Q_EMIT HelpAction(); };
}

VqTextBox::~VqTextBox() = default;

void VqTextBox::enterField()
{
    d->image1->show();
    d->text1->setAlignment(toQt(0));
    d->text1->setCursorPosition(int(d->text1->text().size()));
}

bool VqTextBox::handleKey(QKeyEvent *e)
{
    using namespace vq::keys;
    short keyCode = virtualKey(e->key());
    short shift = shiftState(e->modifiers());
    const short pressed = keyCode;
    if (keyCode == VkDown)
        vq::SendKeys(QStringLiteral("{TAB}"));
    else if (keyCode == VkUp)
        vq::SendKeys(QStringLiteral("+{TAB}"));
    else if (keyCode == VkF1)
        Q_EMIT HelpAction();
    Q_EMIT KeyDown(keyCode, shift);

    const int code = characterCode(e);
    if (code >= 0) {
        const vq::textbox::KeystrokeResult r = vq::textbox::filterCharacter(
            code, d->text1->text(), {d->pDataType, d->pCase, d->pDecimal, MaxLength()});
        if (r.queueTab)
            vq::SendKeys(QStringLiteral("{TAB}"));
        if (r.code == 0)
            return true;
        if (r.code != code) {
            QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(QChar(r.code)));
            d->text1->deliverKey(&changed);
            return true;
        }
        return false;
    }
    // A key without a character goes on as the host's handler left it: 0 cancels it.
    if (keyCode == pressed)
        return false;
    if (keyCode != 0) {
        QKeyEvent changed(e->type(), qtKey(keyCode), modifiers(shift));
        d->text1->deliverKey(&changed);
    }
    return true;
}

void VqTextBox::leaveField()
{
    // Any error stops the routine where it happens and is reported to the user, not to the host.
    try {
        const QString trimmed = vq::textbox::trimBlanks(d->text1->text());
        d->text1->setText(trimmed);
        d->image1->hide();
        d->value = vq::textbox::storedValue(trimmed, d->pDataType);
        if (d->pDataType == NumberOnly) {
            d->text1->setText(vq::textbox::numberDisplay(trimmed, d->thousandSeperator, d->pDecimal));
            d->text1->setAlignment(toQt(1));
            return;
        }
        if (d->pCase == SentenceCase)
            d->text1->setText(vq::textbox::sentenceCase(trimmed));
        d->text1->setAlignment(toQt(d->savedAlignment));
    } catch (const vq::Error &e) {
        vq::textbox::reportLeaveError(e);
    }
}

short VqTextBox::Alignment() const
{
    return fromQt(d->text1->alignment());
}

void VqTextBox::setAlignment(short alignment)
{
    d->text1->setAlignment(toQt(alignment));
    PropertyChanged(QStringLiteral("Alignment"));
}

bool VqTextBox::Locked() const
{
    return d->text1->isReadOnly();
}

void VqTextBox::setLocked(bool locked)
{
    d->text1->setReadOnly(locked);
    PropertyChanged(QStringLiteral("Locked"));
}

QString VqTextBox::PasswordChar() const
{
    return d->text1->property(PasswordCharKey).toString();
}

namespace {
void applyPasswordChar(QLineEdit *field, const QString &mask)
{
    field->setProperty(PasswordCharKey, mask);
    if (mask.isEmpty()) {
        field->setEchoMode(QLineEdit::Normal);
        field->setStyleSheet(QString());
    } else {
        field->setEchoMode(QLineEdit::Password);
        field->setStyleSheet(
            QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(int(mask.at(0).unicode())));
    }
}

void applyForeColor(QLineEdit *field, uint color)
{
    field->setProperty(ForeColorKey, color);
    QPalette p = field->palette();
    p.setColor(QPalette::Text, vq::olecolor::toColor(color));
    field->setPalette(p);
}
} // namespace

void VqTextBox::setPasswordChar(const QString &mask)
{
    applyPasswordChar(d->text1, mask);
    PropertyChanged(QStringLiteral("PasswordChar"));
}

uchar VqTextBox::pCase() const
{
    return d->pCase;
}

void VqTextBox::setpCase(uchar rule)
{
    d->pCase = rule;
    PropertyChanged(QStringLiteral("pCase"));
}

uchar VqTextBox::pDataType() const
{
    return d->pDataType;
}

void VqTextBox::setpDataType(uchar type)
{
    d->pDataType = type;
    PropertyChanged(QStringLiteral("pDataType"));
}

short VqTextBox::pDecimal() const
{
    return d->pDecimal;
}

void VqTextBox::setpDecimal(short flag)
{
    d->pDecimal = flag;
    PropertyChanged(QStringLiteral("pDecimal"));
}

short VqTextBox::ThousandSeperator() const
{
    return d->thousandSeperator;
}

void VqTextBox::setThousandSeperator(short flag)
{
    d->thousandSeperator = flag;
    PropertyChanged(QStringLiteral("ThousandSeperator"));
}

int VqTextBox::MaxLength() const
{
    const int m = d->text1->maxLength();
    return m == FieldUnlimited ? 0 : m;
}

void VqTextBox::setMaxLength(int length)
{
    d->text1->setMaxLength(length <= 0 ? FieldUnlimited : length);
    PropertyChanged(QStringLiteral("MaxLength"));
}

bool VqTextBox::Enabled() const
{
    return isEnabled();
}

void VqTextBox::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    PropertyChanged(QStringLiteral("Enabled"));
}

QString VqTextBox::ToolTipText() const
{
    return d->text1->toolTip();
}

void VqTextBox::setToolTipText(const QString &tip)
{
    d->text1->setToolTip(tip);
    PropertyChanged(QStringLiteral("ToolTipText"));
}

QString VqTextBox::Value() const
{
    return d->value;
}

void VqTextBox::setValue(const QString &value)
{
    d->value = value;
    PropertyChanged(QStringLiteral("Value"));
}

QString VqTextBox::Text() const
{
    return d->text1->text();
}

void VqTextBox::setText(const QString &text)
{
    d->text1->setText(text);
    PropertyChanged(QStringLiteral("Text"));
    leaveField();
}

short VqTextBox::EmptyCheck() const
{
    return d->emptyCheck;
}

void VqTextBox::setEmptyCheck(short flag)
{
    d->emptyCheck = flag;
    PropertyChanged(QStringLiteral("EmptyCheck"));
}

uint VqTextBox::ForeColor() const
{
    return d->text1->property(ForeColorKey).toUInt();
}

void VqTextBox::setForeColor(uint color)
{
    applyForeColor(d->text1, color);
    PropertyChanged(QStringLiteral("ForeColor"));
}

void VqTextBox::setHelp(QObject *aobjCon, const QString &asQuery)
{
    Q_UNUSED(aobjCon);
    Q_UNUSED(asQuery);
}

int VqTextBox::surfaceStyle() const
{
    return d->surfaceStyle;
}

void VqTextBox::InitProperties()
{
    d->value.clear();
    d->pCase = 0;
    d->pDataType = 0;
    d->pDecimal = -1;
    d->thousandSeperator = -1;
    d->emptyCheck = 0;
}

void VqTextBox::ReadProperties(vq::PropertyBag &bag)
{
    using namespace vq::bag;
    d->surfaceStyle = ambientProperties().UserMode ? 0 : 1;
    update();
    d->text1->setAlignment(toQt(readInt16(bag, QStringLiteral("Alignment"), 0)));
    d->text1->setReadOnly(readBool(bag, QStringLiteral("Locked"), false));
    applyPasswordChar(d->text1, readString(bag, QStringLiteral("PasswordChar"), QString()));
    d->pCase = readByte(bag, QStringLiteral("pCase"), 0);
    d->pDataType = readByte(bag, QStringLiteral("pDataType"), 0);
    d->pDecimal = readBoolean(bag, QStringLiteral("pDecimal"), -1);
    d->thousandSeperator = readBoolean(bag, QStringLiteral("ThousandSeperator"), -1);
    const int maxLength = readInt32(bag, QStringLiteral("MaxLength"), 0);
    d->text1->setMaxLength(maxLength <= 0 ? FieldUnlimited : maxLength);
    setEnabled(readBool(bag, QStringLiteral("Enabled"), true));
    d->text1->setToolTip(readString(bag, QStringLiteral("ToolTipText"), QString()));
    d->value = readString(bag, QStringLiteral("Value"), QString());
    d->text1->setText(readString(bag, QStringLiteral("Text"), QString()));
    d->emptyCheck = readInt16(bag, QStringLiteral("EmptyCheck"), 0);
    applyForeColor(d->text1, readUInt32(bag, QStringLiteral("ForeColor"), vq::olecolor::WindowText));
}

void VqTextBox::WriteProperties(vq::PropertyBag &bag)
{
    bag.WriteProperty(QStringLiteral("Alignment"), Alignment(), short(0));
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    bag.WriteProperty(QStringLiteral("PasswordChar"), PasswordChar(), QString());
    bag.WriteProperty(QStringLiteral("pCase"), d->pCase, short(0));
    bag.WriteProperty(QStringLiteral("pDataType"), d->pDataType, short(0));
    bag.WriteProperty(QStringLiteral("pDecimal"), d->pDecimal, short(-1));
    bag.WriteProperty(QStringLiteral("ThousandSeperator"), d->thousandSeperator, short(-1));
    bag.WriteProperty(QStringLiteral("MaxLength"), MaxLength(), short(0));
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("ToolTipText"), ToolTipText(), QString());
    bag.WriteProperty(QStringLiteral("Value"), d->value, QString());
    bag.WriteProperty(QStringLiteral("Text"), Text(), QString());
    bag.WriteProperty(QStringLiteral("EmptyCheck"), d->emptyCheck, short(0));
    bag.WriteProperty(QStringLiteral("ForeColor"), ForeColor(), uint(vq::olecolor::WindowText));
}

void VqTextBox::Resize()
{
    // Each step may be refused (a control too narrow for its field); the next step still runs.
    try {
        vq::twips::setWidth(d->text1, widthTwips() - (50 + vq::twips::geometry(d->image1).width()));
    } catch (const vq::Error &) { }
    try {
        const QRect field = vq::twips::geometry(d->text1);
        vq::twips::setLeft(d->image1, field.x() + field.width() + 20);
    } catch (const vq::Error &) { }
    d->image1->update();
}

void VqTextBox::Show()
{
    d->savedAlignment = Alignment();
}

void VqTextBox::paintEvent(QPaintEvent *event)
{
    vq::Control::paintEvent(event);
    if (d->surfaceStyle == 1) {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
