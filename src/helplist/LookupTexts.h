#pragma once

#include <QLocale>
#include <QString>

// The texts the lookup window hands to its record set (search criteria, filter conditions, sort texts)
// and the few figures it derives from field types, as pure functions of a field's name, its ADO type
// code (data/FieldType.h) and what the user typed. Nothing typed is escaped or doubled: an apostrophe
// in a search text makes a criterion that the record set refuses, and the caller treats that as a
// search that found nothing to do.
namespace vq::helplist {

// Type codes compared as numbers by search and filter: 2, 3, 4, 5, 6, 14, 16 to 21 and 131. Dates (7),
// booleans (11) and everything else are compared by a prefix LIKE on their text.
bool comparesAsNumber(int type);

// The typed text read leniently as a number (vq::val: leading blanks skipped, "." as the decimal point
// whatever the locale, "&H"/"&O" prefixes, reading stops at the first other character, no digits give 0)
// and written back in shortest general form with the locale's decimal symbol: "12abc" gives "12",
// "" and "abc" give "0", "12.50" gives "12.5". A number beyond a double's range throws vq::Error 6.
QString numberText(const QString &typed, const QLocale &locale = QLocale());

// The criterion for Find over field `name` of type `type`:
//   numbers                 "[name] = " + numberText(typed)
//   135 (timestamp)         ""  (no criterion: Find refuses it)
//   anything else           "[name] like '" + typed without leading and trailing spaces + "%'"
QString searchCriterion(
    const QString &name, int type, const QString &typed, const QLocale &locale = QLocale());

// The condition for Filter over one field:
//   numbers                 "[name] = " + numberText(typed)
//   135 (timestamp)         "[name] = " + typed, exactly as typed (not trimmed, not quoted)
//   anything else           "[name] like '" + typed without leading and trailing spaces + "%'"
QString filterCondition(
    const QString &name, int type, const QString &typed, const QLocale &locale = QLocale());

// True for a LIKE text whose typed part is empty ("... like '%'"): it would match every row, so callers
// go to the first row instead of searching or filtering.
bool isEmptyLike(const QString &criterion);

// The accumulated filter after one more condition: earlier conditions first, joined by " and "; a
// filter that is blank (spaces only) counts as none.
QString joinFilter(const QString &filter, const QString &condition);

// The sort text for one field, ascending: "[name]".
QString sortText(const QString &name);

// A grid column's width in twips for a field: 15 characters for numbers and dates of type 7, else the
// field's DefinedSize in characters, never below 10, at 100 twips a character (1000 to 1500 for most
// fields). A width that a 32-bit twips value cannot hold (a long text's DefinedSize) throws vq::Error 6,
// so the caller leaves that column as it is.
int columnWidthTwips(int type, qint64 definedSize);

// The row count as the count label shows it: "1234 Fetched" (no separators, no sign space).
QString fetchedCaption(qint64 count);

} // namespace vq::helplist
