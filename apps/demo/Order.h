#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace demo {

// One order as the form shows it: the order's own columns and what the form shows beside them (the
// customer's name, the product's name and category), which saving leaves to their own tables.
struct Order
{
    qint64 id = 0; // 0 for an order not yet saved
    QDate date;
    QString customerCode;
    QString customerName;
    QString city; // where it is delivered
    QString productCode;
    QString productName;
    QString category; // the product's category, by name
    int quantity = 0;
    QString amount; // plain decimal text, e.g. "1234.50"; empty when unknown
    QString terms;

    friend bool operator==(const Order &, const Order &) = default;
};

// Money is handled in whole cents, so that a line's amount is exact.
// Reads a plain decimal text ("12", "12.5", "-0.05", blanks around allowed) with at most two decimals;
// nullopt for anything else, a thousand separator included.
std::optional<qint64> centsFromText(const QString &text);
// "1234.50", "-0.05": two decimals, no separators.
QString textFromCents(qint64 cents);

// The amount of `quantity` units at `unitPrice` (a plain decimal text); empty when the price does not
// read or the quantity is not positive.
QString amountFor(const QString &unitPrice, int quantity);

// Why an order cannot be saved, in the words the clerk is shown; empty when it can.
// `knownTerms` holds the payment terms an order may carry.
QString orderProblem(
    const Order &order, const QDate &firstDate, const QDate &lastDate, const QStringList &knownTerms);

// An SQL string literal: quoted, with quotes inside doubled.
QString sqlLiteral(const QString &text);
// The statement that writes the order's own columns: an INSERT for an order without id (the database
// numbers it), else an UPDATE of that order. The order must have passed orderProblem.
QString saveStatement(const Order &order);

} // namespace demo
