#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <vector>

namespace vq {

// The record set's criteria language, for Filter and Find:
//
//   field operator value
//
// - field: a name, bare or in square brackets ([Order Date]);
// - operator: =, <>, <, >, <=, >= or LIKE (any case);
// - value: a number (the decimal symbol may be "." or the locale's), 'text' (a quote inside is doubled),
//   #date# (month first or ISO: #1/31/2020#, #2020-01-31 10:30#), TRUE (-1), FALSE (0), NULL (with = or <>
//   only), or any other
//   unquoted text up to the next AND/OR or ")": read as a number, else as a date under the locale;
// - LIKE takes a text whose only wildcards ("%" or "*", meaning any rest) stand at its end, or at both its
//   ends ('abc%', '%abc%'); without a wildcard it is a plain equality. Text is compared by the locale's
//   collation without regard to case, also by = and the other operators; a prefix ignores accents too;
// - clauses join with AND and OR, with parentheses. There is no precedence between the two; the
//   expression must be an OR of AND groups: a parenthesised group holding OR may not be joined to
//   another clause by AND ("(a = 1 OR a = 2) AND b = 3" is refused; "(a = 1 AND b = 3) OR (a = 2 AND
//   b = 3)" is the same condition written as allowed).
//
// Anything else is refused with vq::Error 3001.
struct CriteriaValue
{
    enum Kind { Number, Text, Date, Null };
    Kind kind = Null;
    double number = 0;
    // Number as written, in the invariant form ("-1234.5", "1E-3"; empty for TRUE and FALSE), for columns
    // that compare exactly.
    QByteArray numberText;
    QString text; // Text: the text; other kinds: the value as written
    QDateTime date;
};

struct Criterion
{
    enum Operator { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };
    // How a LIKE pattern matches; pattern holds the text without its wildcards.
    enum LikeMode { Whole, Prefix, Contains };

    QString field;
    Operator op = Equal;
    CriteriaValue value;
    LikeMode likeMode = Whole;
    QString pattern;
};

// An OR of AND groups.
using CriteriaGroups = std::vector<std::vector<Criterion>>;

CriteriaGroups parseCriteria(const QString &text, const QLocale &locale = QLocale());

// A single criterion, as Find takes it (AND and OR are refused with 3001).
Criterion parseCriterion(const QString &text, const QLocale &locale = QLocale());

} // namespace vq
