#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vq::dates {

// The date field's check when the focus leaves it, without any widget.

enum class LeaveVerdict {
    Empty, // nothing but blanks: accepted, the field is left empty
    InRange, // a date from MinDate to MaxDate, both inclusive
    OutOfRange, // a date outside them: warn and keep the focus, the entry unchanged
    NotADate, // no date under the locale: the field silently takes today's date
};

struct LeaveCheck
{
    QString text; // the entry with its leading and trailing blanks removed
    LeaveVerdict verdict = LeaveVerdict::Empty;
};

// Bounds are compared in time order, time of day included; a MinDate after MaxDate refuses every
// date.
LeaveCheck checkLeavingText(const QString &text, const QDateTime &minDate, const QDateTime &maxDate,
    const QLocale &locale = QLocale());

// "Date Should be between [MinDate] And [MaxDate]", each bound in the locale's short date form.
QString rangeWarning(const QDateTime &minDate, const QDateTime &maxDate, const QLocale &locale = QLocale());

// Today's date in the locale's short date form: what a field that held no date gets.
QString todayText(const QLocale &locale = QLocale());

// The bounds of a new date field: 1 January 1601 and 31 December 9999.
QDateTime defaultMinDate();
QDateTime defaultMaxDate();

// A date bound as a form saved it: a date, an automation date (a number) or a text that reads as a date
// under the locale. Anything else is refused with vq::Error 13 naming the key.
QDateTime boundFromSaved(const QVariant &saved, const QString &key, const QLocale &locale = QLocale());

} // namespace vq::dates
