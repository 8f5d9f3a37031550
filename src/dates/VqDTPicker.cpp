#include "dates/VqDTPicker.h"

#include "dates/DateKeys.h"
#include "dates/DateLeave.h"
#include "frame/ClassTable.h"
#include "frame/PropertyTable.h"
#include "frame/modGeneral.h"
#include "platform/DTPicker.h"
#include "platform/DateText.h"
#include "platform/Error.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"
#include "platform/VariantText.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>

namespace {

const bool registered = vq::registerClass<VqDTPicker>();

constexpr char CausesValidationKey[] = "CausesValidation";

QDateTime today()
{
    return QDateTime(QDate::currentDate(), QTime(0, 0), Qt::UTC);
}

QDateTime zoneless(const QDateTime &date)
{
    return QDateTime(date.date(), date.time(), Qt::UTC);
}

} // namespace

struct VqDTPicker::Private
{
    QLineEdit *text1 = nullptr;
    vq::DTPicker *dtPicker1 = nullptr;
    QDateTime maxDate = vq::dates::defaultMaxDate();
    QDateTime minDate = vq::dates::defaultMinDate();
    // Limits typing only: a text set by the host or loaded from a form may be longer.
    int maxLength = 10;
};

VqDTPicker::VqDTPicker(QWidget *parent)
    : vq::EntryControl(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VqDTPicker"));
    setDesignSize("VqDTPicker");
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    setFont(font);

    // The picker first, so that the field lies on top of all of it but its button.
    d->dtPicker1 = new vq::DTPicker(this);
    d->dtPicker1->setObjectName(QStringLiteral("DTPicker1"));
    d->dtPicker1->setTabStop(false);
    vq::twips::setGeometry(d->dtPicker1, 0, 0, 1995, 315);

    d->text1 = new QLineEdit(this);
    d->text1->setObjectName(QStringLiteral("Text1"));
    d->text1->setProperty(CausesValidationKey, true);
    vq::twips::setGeometry(d->text1, 0, 0, 1725, 315);
    setTabOrder(d->text1, d->dtPicker1);

    setEntryField(d->text1);
    placeFocusMarker(2010, -90);
    // Its calendar is a window of its own; the focus going there is not leaving.
    addConstituent(d->dtPicker1->calendar()->window());

    connect(d->text1, &QLineEdit::textChanged, this, &VqDTPicker::textChanged);
    connect(d->dtPicker1, &vq::DTPicker::GotFocus, this, &VqDTPicker::pickerGotFocus);
    connect(d->dtPicker1, &vq::DTPicker::CloseUp, this, &VqDTPicker::calendarClosed);
}

VqDTPicker::~VqDTPicker() = default;

QString VqDTPicker::Text() const
{
    return d->text1->text();
}

void VqDTPicker::setText(const QString &text)
{
    d->text1->setText(text);
    PropertyChanged(QStringLiteral("Text"));
}

QDateTime VqDTPicker::MaxDate() const
{
    return d->maxDate;
}

void VqDTPicker::setMaxDate(const QDateTime &date)
{
    d->maxDate = zoneless(date);
    PropertyChanged(QStringLiteral("MaxDate"));
}

QDateTime VqDTPicker::MinDate() const
{
    return d->minDate;
}

void VqDTPicker::setMinDate(const QDateTime &date)
{
    d->minDate = zoneless(date);
    PropertyChanged(QStringLiteral("MinDate"));
}

QVariant VqDTPicker::Value() const
{
    return d->dtPicker1->Value();
}

void VqDTPicker::setValue(const QVariant &value)
{
    d->dtPicker1->setValue(value);
    PropertyChanged(QStringLiteral("Value"));
}

void VqDTPicker::InitProperties()
{
    d->maxDate = vq::dates::defaultMaxDate();
    d->minDate = vq::dates::defaultMinDate();
}

void VqDTPicker::ReadProperties(vq::PropertyBag &bag)
{
    d->dtPicker1->setValue(today());
    vq::EntryControl::ReadProperties(bag);
}

const vq::PropertyTable &VqDTPicker::propertyTable() const
{
    using vq::BagType;
    using Entry = vq::PropertyTable::Entry;
    static const vq::PropertyTable table(
        {
            // Carried for the field although the control offers no property for it.
            Entry(CausesValidationKey, BagType::Boolean, true)
                .set<VqDTPicker>([](VqDTPicker &c, const QVariant &v) {
                    c.d->text1->setProperty(CausesValidationKey, v.toBool());
                })
                .get<VqDTPicker>(
                    [](const VqDTPicker &c) { return c.d->text1->property(CausesValidationKey); }),
            Entry("MaxLength", BagType::Int32, 10)
                .set<VqDTPicker>([](VqDTPicker &c, const QVariant &v) { c.d->maxLength = v.toInt(); })
                .get<VqDTPicker>([](const VqDTPicker &c) { return c.d->maxLength; }),
            {"Text", BagType::String, QString()},
            Entry("MaxDate", BagType::Variant, vq::dates::defaultMaxDate())
                .set<VqDTPicker>([](VqDTPicker &c, const QVariant &v) {
                    c.d->maxDate = vq::dates::boundFromSaved(v, QStringLiteral("MaxDate"));
                }),
            Entry("MinDate", BagType::Variant, vq::dates::defaultMinDate())
                .set<VqDTPicker>([](VqDTPicker &c, const QVariant &v) {
                    c.d->minDate = vq::dates::boundFromSaved(v, QStringLiteral("MinDate"));
                }),
            // Today as the default both ways: a form saved today that kept today's date stores nothing.
            Entry("Value", BagType::Variant, QVariant())
                .defaultAt([] { return QVariant(today()); })
                .set<VqDTPicker>([](VqDTPicker &c, const QVariant &v) {
                    try {
                        c.d->dtPicker1->setValue(v);
                    } catch (const vq::Error &e) {
                        throw vq::Error(
                            e.number(), e.description() + QStringLiteral(": the saved \"Value\""));
                    }
                }),
            {"Enabled", BagType::Boolean, true},
        },
        {QStringLiteral("Text"), QStringLiteral("MaxDate"), QStringLiteral("MinDate"),
            QStringLiteral("Value"), QStringLiteral("Enabled")});
    return table;
}

void VqDTPicker::keyDownSteps(short keyCode, short)
{
    switch (vq::dates::keyDownAction(keyCode)) {
    case vq::dates::KeyDownAction::NextField:
        moveFocus(true);
        break;
    case vq::dates::KeyDownAction::PreviousField:
        moveFocus(false);
        break;
    case vq::dates::KeyDownAction::OpenCalendar:
        // The tab stop tells the picker, when it takes the focus, that the user asked for the calendar.
        d->dtPicker1->setTabStop(true);
        d->dtPicker1->setFocus(Qt::OtherFocusReason);
        break;
    case vq::dates::KeyDownAction::None:
        break;
    }
}

int VqDTPicker::filterCharacter(int code)
{
    const vq::dates::DateCharacterResult r =
        vq::dates::filterDateCharacter(code, int(d->text1->text().size()));
    if (r.appendDash) {
        d->text1->setText(d->text1->text() + QLatin1Char('-'));
        d->text1->setCursorPosition(int(d->text1->text().size()));
    }
    constexpr int Backspace = 8;
    const qsizetype kept = d->text1->text().size() - d->text1->selectedText().size();
    if (r.code != Backspace && kept >= d->maxLength)
        return 0;
    return r.code;
}

void VqDTPicker::textChanged()
{
    // Only a text that is a date moves the picker; a refusal (a year before 1601) changes nothing.
    const QString text = d->text1->text();
    if (!vq::isDate(text))
        return;
    try {
        d->dtPicker1->setValue(text);
    } catch (const vq::Error &) { }
}

void VqDTPicker::pickerGotFocus()
{
    if (d->dtPicker1->TabStop())
        vq::SendKeys(QStringLiteral("{F4}"));
    else
        d->text1->setFocus(Qt::OtherFocusReason);
}

void VqDTPicker::calendarClosed()
{
    try {
        d->text1->setFocus(Qt::OtherFocusReason);
        d->dtPicker1->setTabStop(false);
        d->text1->setText(vq::variantToText(d->dtPicker1->Value()));
    } catch (const vq::Error &e) {
        vq::reportError(e);
    }
}

void VqDTPicker::focusLeft()
{
    try {
        focusMarker()->hide();
        const vq::dates::LeaveCheck check =
            vq::dates::checkLeavingText(d->text1->text(), d->minDate, d->maxDate);
        d->text1->setText(check.text);
        if (check.verdict == vq::dates::LeaveVerdict::Empty)
            return;
        d->dtPicker1->setValue(check.text);
        if (check.verdict == vq::dates::LeaveVerdict::NotADate)
            throw vq::Error(vq::Error::TypeMismatch);
        if (check.verdict == vq::dates::LeaveVerdict::OutOfRange) {
            QString message = vq::dates::rangeWarning(d->minDate, d->maxDate);
            vq::modGeneral::ShowWarning(message);
            d->text1->setFocus(Qt::OtherFocusReason);
        }
    } catch (const vq::Error &) {
        // A text that is no date, or one the picker refuses, becomes today's date without a word.
        d->text1->setText(vq::dates::todayText());
    }
}

void VqDTPicker::Resize()
{
    // The picker takes the field's place beside the marker; the field covers it but for the button.
    layOutBesideMarker(d->dtPicker1);
    try {
        vq::twips::setWidth(d->text1, vq::twips::geometry(d->dtPicker1).width() - 240);
    } catch (const vq::Error &) { }
}

void VqDTPicker::Show()
{
    d->dtPicker1->setValue(today());
}
