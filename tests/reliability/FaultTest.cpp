#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "platform/Error.h"

#include "data/TestDatabase.h"
#include "support/Errors.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Databases that misbehave. Each fault gives a vq::Error carrying the driver's message, keeps what the
// record set documents as kept, and never hangs: a watchdog ends the program, naming the fault, when one
// takes longer than its limit.

namespace {

class Watchdog
{
public:
    Watchdog(const char *fault, int seconds)
        : m_thread([this, fault, seconds] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_disarmed; })) {
                std::fprintf(stderr, "fault \"%s\" hung for %d s\n", fault, seconds);
                std::abort();
            }
        })
    { }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_disarmed = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_disarmed = false;
    std::thread m_thread;
};

void makeRows(const QString &path, int rows)
{
    testdb::makeSqlite(path,
        {QStringLiteral("CREATE TABLE t (id INTEGER, name TEXT)"),
            QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < %1) "
                           "INSERT INTO t SELECT i, 'row ' || i FROM c")
                .arg(rows)});
}

} // namespace

// A file that another writer holds locked, one cut short, and one that is no database at all: the native
// driver and the ODBC driver both answer with an error that carries SQLite's own words.
TEST(Faults, BrokenSqliteFilesGiveTheDriversMessage)
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.db"));
    makeRows(locked, 100);
    const QString truncated = dir.filePath(QStringLiteral("truncated.db"));
    makeRows(truncated, 5000);
    {
        QFile f(truncated);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() / 3));
    }
    const QString text = dir.filePath(QStringLiteral("text.db"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("This is a letter, not a database.\n").repeated(200));
    }

    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(locked.toUtf8().constData(), &writer), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(writer, "BEGIN EXCLUSIVE; INSERT INTO t VALUES (0, 'held')", nullptr, nullptr, nullptr),
        SQLITE_OK);

    const struct
    {
        const char *fault;
        QString path;
        const char *message;
    } cases[] = {
        {"locked by another writer", locked, "locked"},
        {"truncated", truncated, "malformed"},
        {"not a database", text, "not a database"},
    };
    for (const auto &c : cases) {
        for (const bool odbc : {false, true}) {
            SCOPED_TRACE(std::string(c.fault) + (odbc ? " over ODBC" : " natively"));
            const Watchdog watchdog(c.fault, 60);
            const QString connection = odbc
                // The driver waits 100 s for a lock by default; the test asks for 2 s.
                ? QStringLiteral("Driver={%1};Database=%2;Timeout=2000")
                      .arg(testdb::sqliteOdbcDriver(), c.path)
                : testdb::nativeString(c.path);
            vq::Connection db;
            vq::Recordset rs;
            const QString error = vq::test::errorText([&] {
                db.Open(connection);
                rs.Open(
                    QStringLiteral("SELECT id, name FROM t ORDER BY name"), &db, vq::Recordset::adOpenStatic);
            });
            EXPECT_TRUE(error.contains(QLatin1String(c.message), Qt::CaseInsensitive)) << error.toStdString();
        }
    }
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);

    // Once the writer lets go, the same file reads.
    vq::Connection db;
    db.Open(testdb::nativeString(locked));
    vq::Recordset rs;
    rs.Open(QStringLiteral("t"), &db, vq::Recordset::adOpenStatic);
    EXPECT_EQ(rs.RecordCount(), 100);
}

// A file data source naming a driver library that is not there: the driver manager's message, with the
// library's name, in the error.
TEST(Faults, FileDsnNamingAMissingDriverLibrary)
{
    QTemporaryDir dir;
    const QString dsn = testdb::writeFileDsn(dir.filePath(QStringLiteral("missing.dsn")),
        {QStringLiteral("Driver=/nonexistent/libvq-missing-driver.so"),
            QStringLiteral("Database=/tmp/x.db")});
    const Watchdog watchdog("missing driver library", 60);
    vq::Connection db;
    const QString error = vq::test::errorText([&] { db.Open(QStringLiteral("FileDSN=") + dsn); });
    EXPECT_TRUE(error.contains(QLatin1String("libvq-missing-driver.so"))) << error.toStdString();
    EXPECT_NE(db.State(), 1);
}

// A value far longer than any fetch buffer (a bound column holds 4000 characters at most, a piece read on
// its own 8 KiB) comes back whole, over the native driver and over ODBC. Characters of one to four UTF-8
// bytes, one outside the basic plane, so that pieces also end inside a character and a surrogate pair.
TEST(Faults, AValueLongerThanAnyBufferComesBackWhole)
{
    const QString unit = QStringLiteral("a\u00e9\u20ac\U0001F600");
    const int repeats = 40000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.db"));
    testdb::makeSqlite(path,
        {QStringLiteral("CREATE TABLE t (id INTEGER, body TEXT)"),
            QStringLiteral("INSERT INTO t VALUES (1, 'short'), (2, replace(hex(zeroblob(%1)), '00', '%2')), "
                           "(3, 'after')")
                .arg(repeats)
                .arg(unit)});
    const QString expected = unit.repeated(repeats);
    QStringList connections = {testdb::nativeString(path),
        QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), path)};
    if (testdb::havePostgres())
        connections.append(testdb::postgresDriverString());
    for (const QString &connection : connections) {
        SCOPED_TRACE(connection.toStdString());
        const Watchdog watchdog("a long value", 120);
        vq::Connection db;
        db.Open(connection);
        const QString sql = connection.contains(QLatin1String("Servername"))
            ? QStringLiteral("SELECT i AS id, CASE WHEN i = 2 THEN repeat('%1', %2) ELSE 'x' END AS body "
                             "FROM generate_series(1, 3) AS i ORDER BY i")
                  .arg(unit)
                  .arg(repeats)
            : QStringLiteral("SELECT id, body FROM t ORDER BY id");
        for (const int cursor : {int(vq::Recordset::adOpenForwardOnly), int(vq::Recordset::adOpenStatic)}) {
            vq::Recordset rs;
            rs.Open(sql, &db, cursor);
            rs.MoveNext();
            const QString body = rs.Fields().Item(QStringLiteral("body")).Value().toString();
            EXPECT_EQ(body.size(), expected.size());
            EXPECT_TRUE(body == expected);
            rs.MoveNext();
            EXPECT_FALSE(rs.isEOF());
        }
    }
}
