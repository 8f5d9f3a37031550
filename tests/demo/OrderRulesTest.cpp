#include "Order.h"

#include <QStringList>

#include <sqlite3.h>

#include <gtest/gtest.h>

using demo::Order;

TEST(OrderRules, MoneyTextReadsAsWholeCentsAndWritesBackWithTwoDecimals)
{
    struct Case
    {
        const char *text;
        std::optional<qint64> cents;
    };
    const Case cases[] = {
        {"12", 1200},
        {"12.5", 1250},
        {"12.05", 1205},
        {" 0.10 ", 10},
        {".5", 50},
        {"7.", 700},
        {"-0.05", -5},
        {"92233720368547758", std::nullopt}, // beyond what cents hold
        {"1.005", std::nullopt},
        {"1,234.50", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1e3", std::nullopt},
        {"12a", std::nullopt},
        {"١٢", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(demo::centsFromText(QString::fromUtf8(c.text)), c.cents) << c.text;
        if (c.cents) {
            EXPECT_EQ(demo::centsFromText(demo::textFromCents(*c.cents)), c.cents) << c.text;
        }
    }
    EXPECT_EQ(demo::textFromCents(-5), "-0.05");
    EXPECT_EQ(demo::textFromCents(123450), "1234.50");
}

TEST(OrderRules, AnAmountIsExactWhereBinaryFractionsAreNot)
{
    // 0.1 * 3 and 1.15 * 100 are not what they seem in doubles.
    EXPECT_EQ(demo::amountFor(QStringLiteral("0.10"), 3), "0.30");
    EXPECT_EQ(demo::amountFor(QStringLiteral("1.15"), 100), "115.00");
    EXPECT_EQ(demo::amountFor(QStringLiteral("499.99"), 480), "239995.20");
    EXPECT_EQ(demo::amountFor(QStringLiteral("2.50"), 0), QString());
    EXPECT_EQ(demo::amountFor(QStringLiteral("n/a"), 3), QString());
}

TEST(OrderRules, AnOrderIsRefusedForTheFirstThingItLacks)
{
    const QStringList terms {QStringLiteral("Net 30 days"), QStringLiteral("Prepaid")};
    const QDate first(2024, 1, 1);
    const QDate last(2027, 12, 31);
    Order good;
    good.date = QDate(2025, 3, 4);
    good.customerCode = QStringLiteral("BAKEAAAB");
    good.productCode = QStringLiteral("FRU-00001");
    good.quantity = 2;
    good.amount = QStringLiteral("3.00");
    good.terms = QStringLiteral("Prepaid");
    EXPECT_EQ(demo::orderProblem(good, first, last, terms), QString());

    struct Case
    {
        std::function<void(Order &)> spoil;
        const char *says;
    };
    const Case cases[] = {
        {[](Order &o) { o.customerCode = QStringLiteral("  "); }, "customer"},
        {[](Order &o) { o.productCode.clear(); }, "product"},
        {[](Order &o) { o.quantity = 0; }, "quantity"},
        {[](Order &o) { o.amount = QStringLiteral("1,000.00"); }, "amount"},
        {[](Order &o) { o.amount = QStringLiteral("-1"); }, "amount"},
        {[](Order &o) { o.date = QDate(); }, "date"},
        {[](Order &o) { o.date = QDate(2023, 12, 31); }, "date"},
        {[](Order &o) { o.date = QDate(2028, 1, 1); }, "date"},
        {[](Order &o) { o.terms = QStringLiteral("prepaid"); }, "terms"},
        // Missing customer and product: the customer is named first.
        {[](Order &o) { o.customerCode.clear(), o.productCode.clear(); }, "customer"},
    };
    for (const Case &c : cases) {
        Order o = good;
        c.spoil(o);
        const QString problem = demo::orderProblem(o, first, last, terms);
        EXPECT_TRUE(problem.contains(QLatin1String(c.says), Qt::CaseInsensitive)) << problem.toStdString();
    }
    // The bounds themselves are taken.
    for (const QDate edge : {first, last}) {
        Order o = good;
        o.date = edge;
        EXPECT_EQ(demo::orderProblem(o, first, last, terms), QString());
    }
}

TEST(OrderRules, SaveStatementsInsertAndUpdateThroughSqliteQuotesIncluded)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    auto exec = [db](const QString &sql) {
        char *error = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << sql.toStdString();
        sqlite3_free(error);
    };
    auto row = [db](qint64 id) {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db,
            "SELECT order_date, customer_code, product_code, quantity, printf('%.2f', amount), terms, city "
            "FROM orders "
            "WHERE id = ?",
            -1, &s, nullptr);
        sqlite3_bind_int64(s, 1, id);
        QStringList values;
        if (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < 7; ++c)
                values += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
        }
        sqlite3_finalize(s);
        return values;
    };
    exec(QStringLiteral("CREATE TABLE orders (id INTEGER PRIMARY KEY, order_date date, customer_code, "
                        "product_code, quantity integer, amount money, terms, city)"));
    Order o;
    o.date = QDate(2025, 3, 4);
    o.customerCode = QStringLiteral("OBRIAAAA");
    o.productCode = QStringLiteral("PEN-00002");
    o.quantity = 3;
    o.amount = QStringLiteral("4.5");
    o.terms = QStringLiteral("Net 30 days");
    o.city = QStringLiteral("Dún Laoghaire's Quay; -- not a comment");
    exec(demo::saveStatement(o));
    EXPECT_EQ(
        row(1), QStringList({"2025-03-04", "OBRIAAAA", "PEN-00002", "3", "4.50", "Net 30 days", o.city}));

    o.id = 1;
    o.quantity = 4;
    o.amount = QStringLiteral("6.00");
    o.city = QStringLiteral("'");
    exec(demo::saveStatement(o));
    EXPECT_EQ(row(1), QStringList({"2025-03-04", "OBRIAAAA", "PEN-00002", "4", "6.00", "Net 30 days", "'"}));
    EXPECT_TRUE(row(2).isEmpty());
    sqlite3_close(db);
}
