#include "platform/AutomationDate.h"

#include <cmath>

namespace vq {

static constexpr qint64 MsecsPerDay = 86400000;

AutomationDate AutomationDate::fromDateAndTime(const QDate &date, const QTime &time)
{
    const double days = double(date.toJulianDay() - EpochJulianDay);
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / double(MsecsPerDay) : 0.0;
    return AutomationDate(days >= 0 ? days + fraction : days - fraction);
}

AutomationDate AutomationDate::fromDate(const QDate &date)
{
    return fromDateAndTime(date, QTime(0, 0));
}

AutomationDate AutomationDate::fromDateTime(const QDateTime &dateTime)
{
    return fromDateAndTime(dateTime.date(), dateTime.time());
}

void AutomationDate::split(qint64 *julianDay, int *msecs) const
{
    const double whole = std::trunc(m_days);
    qint64 ms = std::llround(std::fabs(m_days - whole) * MsecsPerDay);
    qint64 day = EpochJulianDay + qint64(whole);
    if (ms >= MsecsPerDay) {
        ms -= MsecsPerDay;
        ++day;
    }
    *julianDay = day;
    *msecs = int(ms);
}

QDate AutomationDate::date() const
{
    qint64 day;
    int ms;
    split(&day, &ms);
    return QDate::fromJulianDay(day);
}

QTime AutomationDate::time() const
{
    qint64 day;
    int ms;
    split(&day, &ms);
    return QTime::fromMSecsSinceStartOfDay(ms);
}

QDateTime AutomationDate::toDateTime() const
{
    qint64 day;
    int ms;
    split(&day, &ms);
    return QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC);
}

} // namespace vq
