#pragma once

#include "Order.h"

#include <QObject>

#include <memory>

namespace vq {
class Connection;
class Recordset;
} // namespace vq

// The orders of the sample database as the form pages through them: one record set over every order
// (joined with its customer's and product's names), in order number order, with a current order that
// the command buttons move. Saving writes through the same connection and reads the orders again.
class OrderBook : public QObject
{
    Q_OBJECT

public:
    // Opens the database (made beforehand) and reads the orders, standing on the last one.
    // Throws vq::Error when the database cannot be read.
    explicit OrderBook(const QString &connectionString, QObject *parent = nullptr);
    ~OrderBook() override;

    // The open connection, which the form's lookups read their connection string from.
    vq::Connection *connection() const;

    qsizetype count() const;
    // 1-based position of the current order; 0 when there is none.
    qsizetype position() const;
    // The current order; an empty one when the book holds none.
    demo::Order current() const;

    // Each stops at the ends; `moved` follows every call.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();
    // Stands on the order with this number; false (and standing where it was) when there is none.
    bool moveTo(qint64 id);

    // Writes the order (a new one when its id is 0), reads the orders again and stands on it; returns its
    // number. The order must have passed orderProblem. Throws vq::Error when the database refuses.
    qint64 save(const demo::Order &order);

    // Fills what the form shows beside the codes an order holds, from the customer and product files: the
    // customer's name (and city, where the order has none yet), the product's name and category. Names of an
    // unknown code become empty.
    void describe(demo::Order &order) const;

    // The unit price of a product as a plain decimal text; empty for an unknown code.
    QString unitPrice(const QString &productCode) const;

Q_SIGNALS:
    void moved();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
