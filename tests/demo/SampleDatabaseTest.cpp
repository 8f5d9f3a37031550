#include "SampleDatabase.h"
#include "SampleData.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace s = demo::sample;

namespace {

// Reads a database file with sqlite3 itself, not through the library's data layer.
class Reader
{
public:
    explicit Reader(const QString &path) { sqlite3_open(QFile::encodeName(path).constData(), &m_db); }
    ~Reader() { sqlite3_close(m_db); }

    QList<QStringList> rows(const char *sql) const
    {
        QList<QStringList> result;
        sqlite3_stmt *s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(m_db);
        while (s && sqlite3_step(s) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                row += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
            result += row;
        }
        sqlite3_finalize(s);
        return result;
    }
    QString one(const char *sql) const
    {
        const QList<QStringList> r = rows(sql);
        return r.isEmpty() || r[0].isEmpty() ? QString() : r[0][0];
    }
    QByteArray digest() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const char *table : {"categories", "customers", "products", "orders"}) {
            const QByteArray sql = "SELECT * FROM " + QByteArray(table) + " ORDER BY rowid";
            for (const QStringList &row : rows(sql.constData()))
                hash.addData(row.join(QChar(0x1f)).toUtf8() + '\n');
        }
        return hash.result().toHex();
    }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

TEST(SampleDatabase, TwoFirstRunsMakeTheSameRowsAndTheRowsHoldTogether)
{
    QTemporaryDir one;
    QTemporaryDir two;
    const QString a = one.filePath(QStringLiteral("data/orders.db"));
    const QString b = two.filePath(QStringLiteral("orders.db"));
    // What an interrupted first run leaves behind is made over.
    QFile partial(b + QStringLiteral(".part"));
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    partial.write("half a database");
    partial.close();
    ASSERT_TRUE(SampleDatabase::ensure(a));
    ASSERT_TRUE(SampleDatabase::ensure(b));
    EXPECT_FALSE(QFileInfo::exists(partial.fileName()));
    const Reader db(a);
    EXPECT_EQ(db.digest(), Reader(b).digest());

    EXPECT_EQ(db.one("SELECT COUNT(DISTINCT code) FROM customers").toInt(), s::CustomerCount);
    EXPECT_EQ(db.one("SELECT COUNT(DISTINCT code) FROM products").toInt(), s::ProductCount);
    EXPECT_EQ(db.one("SELECT COUNT(*) FROM orders").toInt(), s::OrderCount);
    // Every order names a customer and a product there are, costs what its product does times its
    // quantity, and the order dates rise with the numbers inside the sample's span.
    EXPECT_EQ(db.one("SELECT COUNT(*) FROM orders o LEFT JOIN customers c ON c.code = o.customer_code "
                     "LEFT JOIN products p ON p.code = o.product_code "
                     "WHERE c.code IS NULL OR p.code IS NULL OR o.quantity < 1 "
                     "OR abs(o.amount - round(o.quantity * p.unit_price, 2)) > 0.001"),
        "0");
    EXPECT_EQ(db.one("SELECT COUNT(*) FROM orders o JOIN orders n ON n.id = o.id + 1 WHERE n.order_date < "
                     "o.order_date"),
        "0");
    EXPECT_EQ(db.rows("SELECT MIN(order_date), MAX(order_date) FROM orders"),
        QList<QStringList>(
            {{s::firstOrderDate().toString(Qt::ISODate), s::lastOrderDate().toString(Qt::ISODate)}}));
    // Products are filed only under categories without children, and every category has some.
    EXPECT_EQ(
        db.one("SELECT COUNT(*) FROM products WHERE category_key IN (SELECT parent_key FROM categories) "
               "OR category_key NOT IN (SELECT key FROM categories)"),
        "0");
    EXPECT_EQ(
        db.one("SELECT COUNT(DISTINCT category_key) FROM products").toInt(), int(s::leafCategories().size()));
    // Customer codes are letters only, as the form's customer field takes them.
    EXPECT_EQ(db.one("SELECT COUNT(*) FROM customers WHERE length(code) <> 8 OR code GLOB '*[^A-Z]*'"), "0");
    EXPECT_EQ(db.one("SELECT COUNT(DISTINCT city) FROM customers").toInt(), int(s::cities().size()));

    // A row is where the generator puts it, each value in its column.
    const s::OrderRow last = s::order(s::OrderCount - 1);
    EXPECT_EQ(db.rows("SELECT id, order_date, customer_code, product_code, quantity, printf('%.2f', amount), "
                      "terms, city "
                      "FROM orders WHERE id = 40000"),
        QList<QStringList>({{"40000", last.date.toString(Qt::ISODate), last.customerCode, last.productCode,
            QString::number(last.quantity), last.amount, last.terms, last.city}}));
}

TEST(SampleDatabase, AMadeDatabaseIsUsedAsItIs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("orders.db"));
    {
        // An older database, as a later run finds it.
        Reader db(path);
        db.rows("CREATE TABLE orders (id INTEGER PRIMARY KEY)");
        db.rows("INSERT INTO orders VALUES (7)");
    }
    ASSERT_TRUE(SampleDatabase::ensure(path));
    EXPECT_EQ(Reader(path).one("SELECT group_concat(id) FROM orders"), "7");
}

TEST(SampleDatabase, AFolderThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A path under a plain file cannot be made.
    const QString path = dir.filePath(QStringLiteral("file/orders.db"));
    EXPECT_FALSE(SampleDatabase::ensure(path));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(SampleDatabase::writeDataSource(path).isEmpty());
}
