#include "SampleDatabase.h"

#include "SampleData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

namespace {

const char Schema[] = R"(
CREATE TABLE categories (key varchar(20) PRIMARY KEY, parent_key varchar(20), name varchar(30));
CREATE TABLE customers (code varchar(8) PRIMARY KEY, name varchar(40), city varchar(20), balance money,
    since date);
CREATE TABLE products (code varchar(10) PRIMARY KEY, name varchar(40), category_key varchar(20),
    unit_price money);
CREATE TABLE orders (id INTEGER PRIMARY KEY, order_date date, customer_code varchar(8),
    product_code varchar(10), quantity integer, amount money, terms varchar(20), city varchar(20));
CREATE INDEX products_category ON products (category_key);
)";

// The sqlite3 calls below fail only on a full disk or a broken file; the first failure ends the making.
struct Database
{
    sqlite3 *db = nullptr;

    explicit Database(const QString &path)
    {
        if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
            // A failed open still hands out a handle, which holds the message and must be closed.
            const std::runtime_error failure(db ? sqlite3_errmsg(db) : "out of memory");
            sqlite3_close(db);
            throw failure;
        }
    }
    ~Database() { sqlite3_close(db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    [[noreturn]] void fail() const { throw std::runtime_error(db ? sqlite3_errmsg(db) : "out of memory"); }
    void check(int rc) const
    {
        if (rc != SQLITE_OK && rc != SQLITE_DONE)
            fail();
    }
    void exec(const char *sql) const { check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

    // Inserts `count` rows through one prepared statement; `bind` binds row i's values as texts.
    void insert(const char *sql, int count, const std::function<QStringList(int)> &row) const
    {
        sqlite3_stmt *statement = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr));
        try {
            for (int i = 0; i < count; ++i) {
                const QStringList values = row(i);
                for (int c = 0; c < values.size(); ++c) {
                    const QByteArray utf8 = values[c].toUtf8();
                    check(sqlite3_bind_text(
                        statement, c + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
                }
                check(sqlite3_step(statement));
                check(sqlite3_reset(statement));
            }
        } catch (...) {
            sqlite3_finalize(statement);
            throw;
        }
        sqlite3_finalize(statement);
    }
};

void fill(const QString &path)
{
    namespace s = demo::sample;
    Database d(path);
    d.exec(Schema);
    d.exec("BEGIN");
    const std::vector<s::Category> &categories = s::categories();
    d.insert("INSERT INTO categories VALUES (?, ?, ?)", int(categories.size()), [&](int i) {
        const s::Category &c = categories[std::size_t(i)];
        return QStringList {c.key, c.parentKey, c.name};
    });
    d.insert("INSERT INTO customers VALUES (?, ?, ?, CAST(? AS REAL), ?)", s::CustomerCount, [](int i) {
        const s::Customer c = s::customer(i);
        return QStringList {c.code, c.name, c.city, c.balance, c.since.toString(Qt::ISODate)};
    });
    d.insert("INSERT INTO products VALUES (?, ?, ?, CAST(? AS REAL))", s::ProductCount, [](int i) {
        const s::Product p = s::product(i);
        return QStringList {p.code, p.name, p.categoryKey, p.unitPrice};
    });
    d.insert(
        "INSERT INTO orders VALUES (CAST(? AS INTEGER), ?, ?, ?, CAST(? AS INTEGER), CAST(? AS REAL), ?, ?)",
        s::OrderCount, [](int i) {
            const s::OrderRow o = s::order(i);
            return QStringList {QString::number(o.id), o.date.toString(Qt::ISODate), o.customerCode,
                o.productCode, QString::number(o.quantity), o.amount, o.terms, o.city};
        });
    d.exec("COMMIT");
}

} // namespace

QString SampleDatabase::defaultPath()
{
    if (const QString set = qEnvironmentVariable("VQ_DEMO_DATA"); !set.isEmpty())
        return set;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
        QStringLiteral("/orders.db");
}

bool SampleDatabase::ensure(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    const QString partial = path + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(partial);
    try {
        fill(partial);
    } catch (const std::exception &e) {
        std::fprintf(
            stderr, "vqdemo: cannot make the sample database %s: %s\n", qPrintable(partial), e.what());
        QFile::remove(partial);
        return false;
    }
    if (!QFile::rename(partial, path)) {
        std::fprintf(stderr, "vqdemo: cannot rename %s to %s\n", qPrintable(partial), qPrintable(path));
        return false;
    }
    return true;
}

QString SampleDatabase::writeDataSource(const QString &databasePath)
{
    const QString dsn = QFileInfo(databasePath).absolutePath() + QStringLiteral("/orders.dsn");
    QFile f(dsn);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(QStringLiteral("[ODBC]\nDRIVER=SQLite3\nDatabase=%1\n").arg(databasePath).toUtf8()) < 0) {
        std::fprintf(stderr, "vqdemo: cannot write %s: %s\n", qPrintable(dsn), qPrintable(f.errorString()));
        return QString();
    }
    return dsn;
}

QString SampleDatabase::connectionString(const QString &databasePath)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + databasePath;
}
