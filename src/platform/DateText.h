#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace vq {

// Date services under a locale: recognising a date in text, text to date and date to text.
//
// Recognised forms (blanks around the text ignored):
// - numbers in the locale's short-date order separated by "/", "-", "." or blanks ("1/2/2020" in the
//   United States, "2.1.2020" in Germany), or year first when the first number has four digits
//   ("2020-01-02"); a missing year means the current year; two-digit years 0-29 are 2000-2029, 30-99 are
//   1930-1999;
// - a month name or abbreviation of the locale (English names are always understood) with a day and year
//   in either order ("Jan 2, 2020", "2 January 2020");
// - an optional time after the date, or a time alone (which stands on 30 December 1899): "h:mm",
//   "h:mm:ss" or "h:mm:ss.zzz", optionally followed by AM/PM (or the locale's own texts); a "T" may join an
//   ISO date and its time.
std::optional<QDateTime> textToDate(const QString &text, const QLocale &locale = QLocale());

// True when textToDate recognises the text.
bool isDate(const QString &text, const QLocale &locale = QLocale());

// Like textToDate, but text that is not a date is a type mismatch (vq::Error 13).
QDateTime toDate(const QString &text, const QLocale &locale = QLocale());

// The locale's short date form with the year always written in four digits ("M/d/yyyy" in the United
// States).
QString shortDateFormat(const QLocale &locale = QLocale());

// The locale's time form with seconds and without a time zone ("h:mm:ss AP" in the United States).
QString longTimeFormat(const QLocale &locale = QLocale());

// A date in the locale's short date form, followed by a blank and the time when the time is not midnight.
// A time on 30 December 1899 (day zero of the automation date) is written as the time alone.
QString dateToText(const QDateTime &dateTime, const QLocale &locale = QLocale());
QString dateToText(const QDate &date, const QLocale &locale = QLocale());

} // namespace vq
