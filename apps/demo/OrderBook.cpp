#include "OrderBook.h"

#include "data/Connection.h"
#include "data/Recordset.h"

using demo::Order;

namespace {

enum Column {
    Id,
    Date,
    CustomerCode,
    CustomerName,
    City,
    ProductCode,
    ProductName,
    Category,
    Quantity,
    Amount,
    Terms
};

const char OrdersQuery[] =
    "SELECT o.id, o.order_date, o.customer_code, c.name, o.city, o.product_code, p.name, k.name, o.quantity, "
    "printf('%.2f', o.amount), o.terms FROM orders o LEFT JOIN customers c ON c.code = o.customer_code "
    "LEFT JOIN products p ON p.code = o.product_code LEFT JOIN categories k ON k.key = p.category_key "
    "ORDER BY o.id";

} // namespace

struct OrderBook::Private
{
    vq::Connection *connection = nullptr;
    vq::Recordset *orders = nullptr;

    qsizetype row() const { return orders->currentRow(); }
    bool onRow() const { return row() >= 0 && row() < orders->rowCount(); }
};

OrderBook::OrderBook(const QString &connectionString, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->connection = new vq::Connection(this);
    d->connection->Open(connectionString);
    d->orders = new vq::Recordset(this);
    d->orders->Open(QString::fromLatin1(OrdersQuery), d->connection, vq::Recordset::adOpenStatic);
    if (d->orders->RecordCount() > 0)
        d->orders->MoveLast();
}

OrderBook::~OrderBook() = default;

vq::Connection *OrderBook::connection() const
{
    return d->connection;
}

qsizetype OrderBook::count() const
{
    return d->orders->RecordCount();
}

qsizetype OrderBook::position() const
{
    return d->onRow() ? d->row() + 1 : 0;
}

Order OrderBook::current() const
{
    if (!d->onRow())
        return Order();
    const qsizetype r = d->row();
    const vq::Recordset &rs = *d->orders;
    Order o;
    o.id = rs.value(r, Id).toLongLong();
    o.date = rs.value(r, Date).toDate();
    o.customerCode = rs.text(r, CustomerCode);
    o.customerName = rs.text(r, CustomerName);
    o.city = rs.text(r, City);
    o.productCode = rs.text(r, ProductCode);
    o.productName = rs.text(r, ProductName);
    o.category = rs.text(r, Category);
    o.quantity = rs.value(r, Quantity).toInt();
    // Money comes as text with two decimals from the database itself, so no binary fraction is read.
    o.amount = rs.text(r, Amount);
    o.terms = rs.text(r, Terms);
    return o;
}

void OrderBook::moveFirst()
{
    if (count() > 0)
        d->orders->MoveFirst();
    Q_EMIT moved();
}

void OrderBook::movePrevious()
{
    if (d->row() > 0)
        d->orders->MovePrevious();
    Q_EMIT moved();
}

void OrderBook::moveNext()
{
    if (d->row() + 1 < count())
        d->orders->MoveNext();
    Q_EMIT moved();
}

void OrderBook::moveLast()
{
    if (count() > 0)
        d->orders->MoveLast();
    Q_EMIT moved();
}

bool OrderBook::moveTo(qint64 id)
{
    // Order numbers ascend with the rows, so a binary search finds one.
    qsizetype lo = 0;
    qsizetype hi = count();
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (d->orders->value(mid, Id).toLongLong() < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    const bool found = lo < count() && d->orders->value(lo, Id).toLongLong() == id;
    if (found)
        d->orders->setAbsolutePosition(lo + 1);
    Q_EMIT moved();
    return found;
}

qint64 OrderBook::save(const Order &order)
{
    d->connection->Execute(demo::saveStatement(order));
    qint64 id = order.id;
    if (id == 0) {
        vq::Recordset last;
        last.Open(QStringLiteral("SELECT last_insert_rowid()"), d->connection, vq::Recordset::adOpenStatic);
        id = last.value(0, 0).toLongLong();
    }
    d->orders->Requery();
    moveTo(id);
    return id;
}

void OrderBook::describe(Order &order) const
{
    vq::Recordset customer;
    customer.Open(QStringLiteral("SELECT name, city FROM customers WHERE code = %1")
                      .arg(demo::sqlLiteral(order.customerCode)),
        d->connection, vq::Recordset::adOpenStatic);
    const bool knownCustomer = customer.RecordCount() > 0;
    order.customerName = knownCustomer ? customer.text(0, 0) : QString();
    if (knownCustomer && order.city.isEmpty())
        order.city = customer.text(0, 1);
    vq::Recordset product;
    product.Open(QStringLiteral(
                     "SELECT p.name, k.name FROM products p LEFT JOIN categories k ON k.key = p.category_key "
                     "WHERE p.code = %1")
                     .arg(demo::sqlLiteral(order.productCode)),
        d->connection, vq::Recordset::adOpenStatic);
    const bool knownProduct = product.RecordCount() > 0;
    order.productName = knownProduct ? product.text(0, 0) : QString();
    if (knownProduct)
        order.category = product.text(0, 1);
}

QString OrderBook::unitPrice(const QString &productCode) const
{
    vq::Recordset price;
    price.Open(QStringLiteral("SELECT printf('%.2f', unit_price) FROM products WHERE code = %1")
                   .arg(demo::sqlLiteral(productCode)),
        d->connection, vq::Recordset::adOpenStatic);
    if (price.RecordCount() == 0 || price.isNull(0, 0))
        return QString();
    return price.text(0, 0);
}
