#include "dates/DateLeave.h"

#include "platform/AutomationDate.h"
#include "platform/Blanks.h"
#include "platform/DateText.h"
#include "platform/Error.h"

namespace vq::dates {

LeaveCheck checkLeavingText(
    const QString &text, const QDateTime &minDate, const QDateTime &maxDate, const QLocale &locale)
{
    LeaveCheck check;
    check.text = trimBlanks(text);
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

QDateTime boundFromSaved(const QVariant &saved, const QString &key, const QLocale &locale)
{
    switch (saved.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = saved.toDateTime();
        if (dt.isValid())
            return QDateTime(dt.date(), dt.time(), Qt::UTC);
        break;
    }
    case QMetaType::QDate:
        if (saved.toDate().isValid())
            return QDateTime(saved.toDate(), QTime(0, 0), Qt::UTC);
        break;
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong: {
        const double days = saved.toDouble();
        // The automation dates of the years 100 to 9999.
        if (days >= -657434.0 && days < 2958466.0)
            return AutomationDate(days).toDateTime();
        break;
    }
    case QMetaType::QString:
        if (const std::optional<QDateTime> dt = textToDate(saved.toString(), locale))
            return *dt;
        break;
    default:
        break;
    }
    throw Error(Error::TypeMismatch,
        QStringLiteral("Type mismatch: the saved \"%1\" is no date (%2)").arg(key, saved.toString()));
}

} // namespace vq::dates
