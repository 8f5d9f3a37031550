#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace vq {

// The automation date: a double counting days since 30 December 1899, the time of day as the fraction.
// Before that day the whole part counts backwards while the fraction still counts forwards from midnight,
// so -1.25 is 29 December 1899 06:00 (the fraction is the time of day, not a signed offset).
class AutomationDate
{
public:
    AutomationDate() = default;
    explicit AutomationDate(double days)
        : m_days(days)
    { }

    static AutomationDate fromDate(const QDate &date);
    static AutomationDate fromDateTime(const QDateTime &dateTime);
    static AutomationDate fromDateAndTime(const QDate &date, const QTime &time);

    double value() const { return m_days; }
    QDate date() const;
    QTime time() const;
    // Zone-less: the result is in UTC so that no daylight-saving rule moves the stored time.
    QDateTime toDateTime() const;

    // Julian day of 30 December 1899.
    static constexpr qint64 EpochJulianDay = 2415019;

private:
    // Julian day and milliseconds of the day, with rounding to the millisecond carried into the date.
    void split(qint64 *julianDay, int *msecs) const;

    double m_days = 0;
};

} // namespace vq
