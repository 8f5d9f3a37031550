#include "Order.h"

#include <QLocale>
#include <QStringList>

#include <limits>

namespace demo {

std::optional<qint64> centsFromText(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype at = 0;
    const bool negative = at < t.size() && t[at] == u'-';
    if (negative)
        ++at;
    qint64 whole = 0;
    int wholeDigits = 0;
    for (; at < t.size() && t[at].isDigit() && t[at].unicode() < 128; ++at, ++wholeDigits) {
        if (whole > (std::numeric_limits<qint64>::max() / 100 - 9) / 10)
            return std::nullopt;
        whole = whole * 10 + (t[at].unicode() - u'0');
    }
    qint64 fraction = 0;
    int fractionDigits = 0;
    if (at < t.size() && t[at] == u'.') {
        for (++at; at < t.size() && t[at].isDigit() && t[at].unicode() < 128; ++at, ++fractionDigits) {
            if (fractionDigits == 2)
                return std::nullopt;
            fraction = fraction * 10 + (t[at].unicode() - u'0');
        }
    }
    if (at != t.size() || wholeDigits + fractionDigits == 0)
        return std::nullopt;
    if (fractionDigits == 1)
        fraction *= 10;
    const qint64 cents = whole * 100 + fraction;
    return negative ? -cents : cents;
}

QString textFromCents(qint64 cents)
{
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString amountFor(const QString &unitPrice, int quantity)
{
    const std::optional<qint64> price = centsFromText(unitPrice);
    if (!price || quantity <= 0)
        return QString();
    return textFromCents(*price * quantity);
}

QString orderProblem(
    const Order &order, const QDate &firstDate, const QDate &lastDate, const QStringList &knownTerms)
{
    if (order.customerCode.trimmed().isEmpty())
        return QStringLiteral("Enter the customer (F1 looks one up).");
    if (order.productCode.trimmed().isEmpty())
        return QStringLiteral("Enter the product (F1 looks one up).");
    if (order.quantity <= 0)
        return QStringLiteral("The quantity must be at least 1.");
    const std::optional<qint64> amount = centsFromText(order.amount);
    if (!amount || *amount < 0)
        return QStringLiteral("The amount must be a sum of money.");
    if (!order.date.isValid() || order.date < firstDate || order.date > lastDate)
        return QStringLiteral("The order date must lie between %1 and %2.")
            .arg(QLocale().toString(firstDate, QLocale::ShortFormat),
                QLocale().toString(lastDate, QLocale::ShortFormat));
    if (!knownTerms.contains(order.terms))
        return QStringLiteral("Pick the payment terms from the list.");
    return QString();
}

QString sqlLiteral(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString saveStatement(const Order &order)
{
    const QString values = QStringList {sqlLiteral(order.date.toString(Qt::ISODate)),
        sqlLiteral(order.customerCode), sqlLiteral(order.productCode), QString::number(order.quantity),
        textFromCents(centsFromText(order.amount).value_or(0)), sqlLiteral(order.terms),
        sqlLiteral(order.city)}
                               .join(QLatin1String(", "));
    if (order.id == 0)
        return QStringLiteral(
            "INSERT INTO orders (order_date, customer_code, product_code, quantity, amount, "
            "terms, city) VALUES (%1)")
            .arg(values);
    return QStringLiteral(
        "UPDATE orders SET (order_date, customer_code, product_code, quantity, amount, terms, "
        "city) = (%1) WHERE id = %2")
        .arg(values)
        .arg(order.id);
}

} // namespace demo
