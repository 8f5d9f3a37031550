#include "dates/DateLeave.h"

#include "platform/DateText.h"
#include "textbox/LeaveField.h"

namespace vq::dates {

LeaveCheck checkLeavingText(
    const QString &text, const QDateTime &minDate, const QDateTime &maxDate, const QLocale &locale)
{
    LeaveCheck check;
    check.text = textbox::trimBlanks(text);
    if (check.text.isEmpty())
        return check;
    const std::optional<QDateTime> date = textToDate(check.text, locale);
    if (!date) {
        check.verdict = LeaveVerdict::NotADate;
        return check;
    }
    // Chronological order: before 1900 the automation number of a time of day does not grow with it.
    const bool inRange = minDate <= *date && *date <= maxDate;
    check.verdict = inRange ? LeaveVerdict::InRange : LeaveVerdict::OutOfRange;
    return check;
}

QString rangeWarning(const QDateTime &minDate, const QDateTime &maxDate, const QLocale &locale)
{
    return QStringLiteral("Date Should be between [") + dateToText(minDate, locale) +
        QStringLiteral("] And [") + dateToText(maxDate, locale) + QStringLiteral("]");
}

QString todayText(const QLocale &locale)
{
    return dateToText(QDate::currentDate(), locale);
}

QDateTime defaultMinDate()
{
    return QDateTime(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime defaultMaxDate()
{
    return QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC);
}

} // namespace vq::dates
