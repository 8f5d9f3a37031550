#include "TestDatabase.h"

#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace vq;

namespace {

// A database reached through one driver, with a statement that spends long (minutes, or an hour on the
// server) before its first row.
struct SlowSource
{
    const char *driver;
    QString connectionString;
    QString slowQuery;
    bool postgres = false;
};

// The first value of a statement run on a connection of its own.
QString postgresAdminValue(const QString &sql)
{
    Connection admin;
    admin.Open(testdb::postgresDriverString());
    Recordset rs;
    rs.Open(sql, &admin, Recordset::adOpenStatic);
    return rs.text(0, 0);
}

std::vector<SlowSource> slowSources(const QString &sqlitePath)
{
    // 400^3 rows through a sort on a computed text: far longer than any cancel takes.
    std::vector<SlowSource> sources {{"native SQLite", testdb::nativeString(sqlitePath),
        QStringLiteral("SELECT a.id AS n, b.name FROM people a, people b, people c "
                       "ORDER BY a.name || b.name || c.name DESC LIMIT 5")}};
    if (testdb::havePostgres()) {
        const QString slow = QStringLiteral("SELECT pg_sleep(3600) AS slept, 1 AS n");
        // Through a server cursor (the default) and with the whole result read at once.
        sources.push_back({"PostgreSQL", testdb::postgresDriverString(), slow, true});
        sources.push_back({"PostgreSQL, no server cursor",
            testdb::postgresDriverString() + QStringLiteral(";UseDeclareFetch=0"), slow, true});
    }
    return sources;
}

} // namespace

class Cancel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("cancel.db"));
        testdb::makeSqlite(path,
            {QStringLiteral("CREATE TABLE people (id INTEGER PRIMARY KEY, name TEXT)"),
                QStringLiteral(
                    "WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g WHERE x < 400) "
                    "INSERT INTO people SELECT x, printf('name %03d', x) FROM g")});
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(Cancel, ACancelWhileTheStatementRunsTowardsItsFirstRowStopsItAndOpensEmpty)
{
    for (const SlowSource &source : slowSources(path)) {
        SCOPED_TRACE(source.driver);
        Connection c;
        c.Open(source.connectionString);
        // On the server the statement can be watched, and stopped by other means should Cancel fail.
        QString backend;
        if (source.postgres) {
            Recordset pid;
            pid.Open(QStringLiteral("SELECT pg_backend_pid()"), &c, Recordset::adOpenStatic);
            backend = pid.text(0, 0);
        }
        const auto onBackend = [&](const char *what) {
            return postgresAdminValue(
                QStringLiteral("SELECT %1 FROM pg_stat_activity WHERE pid = %2 AND state = 'active'")
                    .arg(QLatin1String(what), backend));
        };
        Recordset rs;
        std::atomic<bool> opening {false};
        std::atomic<bool> returned {false};
        std::atomic<bool> rescued {false};
        const auto begun = QObject::connect(&rs, &Recordset::aboutToChangeRows, [&] { opening = true; });
        std::thread canceller([&] {
            while (!opening)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (source.postgres) {
                for (int i = 0; i < 3000 && onBackend("count(*)").toInt() == 0; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(250)); // a moment to get going
            }
            rs.Cancel();
            if (!source.postgres)
                return;
            // A minute is hundreds of times what a cancel takes; past it the statement is stopped by other
            // means, so that the failure shows without the test waiting an hour.
            for (int i = 0; i < 600 && !returned; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!returned) {
                rescued = true;
                onBackend("count(pg_cancel_backend(pid))");
            }
        });
        EXPECT_NO_THROW(rs.Open(source.slowQuery, &c, Recordset::adOpenStatic));
        returned = true;
        canceller.join();
        QObject::disconnect(begun);
        EXPECT_FALSE(rescued) << "the Cancel did not reach the statement";
        EXPECT_TRUE(rs.wasCancelled());
        ASSERT_EQ(rs.State(), Recordset::adStateOpen);
        EXPECT_EQ(rs.RecordCount(), 0);
        EXPECT_TRUE(rs.isBOF() && rs.isEOF());
        // Fields come with the first row; a statement that had got that far would have them.
        EXPECT_EQ(rs.Fields().Count(), 0);

        // The connection is not left inside a stopped statement or a failed transaction.
        Recordset after;
        after.Open(QStringLiteral("SELECT 7 AS n"), &c, Recordset::adOpenStatic);
        EXPECT_EQ(after.value(0, 0).toInt(), 7);
        EXPECT_FALSE(after.wasCancelled());
    }
}

TEST_F(Cancel, ACancelBeforeOpenBeginsOrAfterItReturnsChangesNothing)
{
    const QString odbcSqlite =
        QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), path);
    std::vector<std::pair<const char *, QString>> drivers {
        {"native SQLite", testdb::nativeString(path)}, {"SQLite through ODBC", odbcSqlite}};
    if (testdb::havePostgres())
        drivers.emplace_back("PostgreSQL", testdb::postgresDriverString());
    const QString rows = QStringLiteral("SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3");
    for (const auto &[driver, connectionString] : drivers) {
        SCOPED_TRACE(driver);
        Connection c;
        c.Open(connectionString);
        for (const int cursorType : {Recordset::adOpenStatic, Recordset::adOpenForwardOnly}) {
            SCOPED_TRACE(cursorType);
            Recordset rs;
            rs.Cancel(); // never opened
            rs.Open(rows, &c, cursorType);
            rs.Cancel(); // after Open returned, also from another thread
            std::thread([&] { rs.Cancel(); }).join();
            EXPECT_FALSE(rs.wasCancelled());
            int read = 0;
            for (; !rs.isEOF(); rs.MoveNext())
                EXPECT_EQ(rs.Fields().Item(0).Value().toInt(), ++read);
            EXPECT_EQ(read, 3);
            EXPECT_FALSE(rs.wasCancelled());
            // A Cancel is not held over for the next fetch.
            rs.Cancel();
            rs.Requery();
            EXPECT_FALSE(rs.wasCancelled());
            EXPECT_EQ(rs.Fields().Item(0).Value().toInt(), 1);
        }
    }
}

TEST_F(Cancel, ACancelStopsOnlyItsOwnStatementAmongThoseOfItsConnection)
{
    Connection c;
    c.Open(testdb::nativeString(path));
    Recordset stream;
    stream.Open(QStringLiteral("SELECT id FROM people ORDER BY id"), &c, Recordset::adOpenForwardOnly);
    // Another record set on the connection, cancelled in the middle of its fetch.
    Recordset pairs;
    const auto progress = QObject::connect(&pairs, &Recordset::FetchProgress, [&] { pairs.Cancel(); });
    pairs.Open(QStringLiteral("SELECT a.id, b.id FROM people a, people b"), &c, Recordset::adOpenStatic);
    EXPECT_TRUE(pairs.wasCancelled());
    EXPECT_GT(pairs.RecordCount(), 0);
    // The stream reads on past its first block, and new statements run while it is open.
    int read = 0;
    EXPECT_NO_THROW({
        for (; !stream.isEOF(); stream.MoveNext())
            ASSERT_EQ(stream.Fields().Item(0).Value().toInt(), ++read);
    });
    EXPECT_EQ(read, 400);
    EXPECT_FALSE(stream.wasCancelled());
    Recordset next;
    EXPECT_NO_THROW(next.Open(QStringLiteral("SELECT count(*) FROM people"), &c, Recordset::adOpenStatic));
    QObject::disconnect(progress);
}
