#include "textbox/VqTextBox.h"

#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "platform/Blanks.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/OleColor.h"
#include "platform/Twips.h"
#include "textbox/LeaveField.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

using namespace vq::textbox;

namespace {

const bool registered = vq::registerClass<VqTextBox>();

constexpr char PasswordCharKey[] = "vqPasswordChar";

Qt::Alignment toQt(short alignment)
{
    switch (alignment) {
    case AlignRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case AlignCentre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

short fromQt(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return AlignRight;
    if (a & Qt::AlignHCenter)
        return AlignCentre;
    return AlignLeft;
}

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

} // namespace

struct VqTextBox::Private
{
    QLineEdit *text1 = nullptr;

    QString value;
    uchar pCase = GeneralCase;
    uchar pDataType = GeneralData;
    short pDecimal = vq::BooleanTrue;
    short thousandSeperator = vq::BooleanTrue;
    short emptyCheck = 0;
    // The control's own limit, which only typing obeys; the field itself holds whatever the host or the
    // formatting puts there.
    int maxLength = 25;
    short savedAlignment = AlignLeft;
};

VqTextBox::VqTextBox(QWidget *parent)
    : vq::EntryControl(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqTextBox"));
    setDesignSize("VqTextBox");

    d->text1 = new QLineEdit(this);
    d->text1->setObjectName(QStringLiteral("Text1"));
    d->text1->setAlignment(toQt(AlignLeft));
    vq::twips::setGeometry(d->text1, 0, 0, 2100, 315);
    setEntryField(d->text1);
    placeFocusMarker(2100, -90);
    setArrowMoves(true);
}

VqTextBox::~VqTextBox() = default;

const vq::PropertyTable &VqTextBox::propertyTable() const
{
    using vq::BagType;
    using Entry = vq::PropertyTable::Entry;
    static const vq::PropertyTable table({
        {"Alignment", BagType::Int16, short(AlignLeft)},
        {"Locked", BagType::Boolean, false},
        {"PasswordChar", BagType::String, QString()},
        {"pCase", BagType::Byte, short(GeneralCase)},
        {"pDataType", BagType::Byte, short(GeneralData)},
        {"pDecimal", BagType::Boolean, true},
        {"ThousandSeperator", BagType::Boolean, true},
        {"MaxLength", BagType::Int32, short(0)},
        {"Enabled", BagType::Boolean, true},
        {"ToolTipText", BagType::String, QString()},
        {"Value", BagType::String, QString()},
        // A saved text is shown as saved: loading does not run the leave-field routine.
        Entry("Text", BagType::String, QString()).set<VqTextBox>([](VqTextBox &c, const QVariant &v) {
            c.d->text1->setText(v.toString());
        }),
        {"EmptyCheck", BagType::Int16, short(0)},
        {"ForeColor", BagType::UInt32, uint(vq::olecolor::WindowText)},
    });
    return table;
}

void VqTextBox::focusEntered()
{
    d->text1->setAlignment(toQt(AlignLeft));
    d->text1->setCursorPosition(int(d->text1->text().size()));
}

void VqTextBox::focusLeft()
{
    leaveField();
}

void VqTextBox::keyDownSteps(short keyCode, short shift)
{
    vq::EntryControl::keyDownSteps(keyCode, shift);
    if (keyCode == vq::keys::VkF1)
        Q_EMIT HelpAction();
}

int VqTextBox::filterCharacter(int code)
{
    const KeystrokeResult r = vq::textbox::filterCharacter(
        code, d->text1->text(), {d->pDataType, d->pCase, d->pDecimal, d->maxLength});
    if (r.queueTab)
        moveFocus(true);
    return r.code;
}

void VqTextBox::mousePressed(QMouseEvent *event)
{
    if (d->pDataType != GeneralData && event->button() == Qt::RightButton)
        QApplication::clipboard()->clear();
}

void VqTextBox::doubleClicked()
{
    Q_EMIT HelpAction();
}

void VqTextBox::leaveField()
{
    // Any error stops the routine where it happens and is reported to the user, not to the host.
    try {
        const QString trimmed = vq::trimBlanks(d->text1->text());
        d->text1->setText(trimmed);
        focusMarker()->hide();
        d->value = storedValue(trimmed, d->pDataType);
        if (d->pDataType == NumberOnly) {
            d->text1->setText(numberDisplay(trimmed, d->thousandSeperator, d->pDecimal));
            d->text1->setAlignment(toQt(AlignRight));
            return;
        }
        if (d->pCase == SentenceCase)
            d->text1->setText(sentenceCase(trimmed));
        d->text1->setAlignment(toQt(d->savedAlignment));
    } catch (const vq::Error &e) {
        reportLeaveError(e);
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

QString VqTextBox::PasswordChar() const
{
    return d->text1->property(PasswordCharKey).toString();
}

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

bool VqTextBox::pDecimal() const
{
    return vq::isTrue(d->pDecimal);
}

void VqTextBox::setpDecimal(bool flag)
{
    d->pDecimal = vq::toBoolean(flag);
    PropertyChanged(QStringLiteral("pDecimal"));
}

bool VqTextBox::ThousandSeperator() const
{
    return vq::isTrue(d->thousandSeperator);
}

void VqTextBox::setThousandSeperator(bool flag)
{
    d->thousandSeperator = vq::toBoolean(flag);
    PropertyChanged(QStringLiteral("ThousandSeperator"));
}

int VqTextBox::MaxLength() const
{
    return d->maxLength;
}

void VqTextBox::setMaxLength(int length)
{
    d->maxLength = length;
    PropertyChanged(QStringLiteral("MaxLength"));
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

void VqTextBox::setHelp(QObject *aobjCon, const QString &asQuery)
{
    Q_UNUSED(aobjCon);
    Q_UNUSED(asQuery);
}

void VqTextBox::InitProperties()
{
    d->value.clear();
    d->pCase = GeneralCase;
    d->pDataType = GeneralData;
    d->pDecimal = vq::BooleanTrue;
    d->thousandSeperator = vq::BooleanTrue;
    d->emptyCheck = 0;
}

void VqTextBox::ReadProperties(vq::PropertyBag &bag)
{
    applyAmbientSurface();
    vq::EntryControl::ReadProperties(bag);
}

void VqTextBox::Resize()
{
    layOutBesideMarker(d->text1);
}

void VqTextBox::Show()
{
    d->savedAlignment = Alignment();
}
