#include "TestDatabase.h"

#include "data/Connection.h"
#include "data/Fields.h"
#include "data/FileDsn.h"
#include "data/OdbcFetch.h"
#include "data/Recordset.h"
#include "platform/Error.h"
#include "platform/VariantText.h"

#include <QProcess>

#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include "support/Errors.h"

using namespace vq;
using vq::test::errorText;

namespace {

class SqliteOdbc : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = dir.filePath(QStringLiteral("odbc.db"));
        QStringList statements {
            QStringLiteral(
                "CREATE TABLE items (id integer, name varchar(10), amount numeric(10,2), born date, "
                "seen timestamp, note text)"),
            QStringLiteral("BEGIN")};
        for (int i = 0; i < 3000; ++i) {
            statements << QStringLiteral("INSERT INTO items VALUES (%1, 'item%2', %3, '2020-01-%4', "
                                         "'2020-01-02 10:%5:00', NULL)")
                              .arg(i)
                              .arg(i % 100)
                              .arg(i * 0.5)
                              .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                              .arg(i % 60, 2, 10, QLatin1Char('0'));
        }
        // Longer than its declared size (SQLite keeps it whole) and not ASCII.
        statements << QStringLiteral("INSERT INTO items VALUES (-1, '%1', NULL, NULL, NULL, '%1')")
                          .arg(QString(QStringLiteral("Ångström ✓ ")).repeated(500))
                   << QStringLiteral("COMMIT");
        testdb::makeSqlite(db, statements);
    }

    void checkItems(const QString &connectionString)
    {
        Connection c;
        c.Open(connectionString);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM items ORDER BY id"), &c, Recordset::adOpenStatic);
        ASSERT_EQ(rs.RecordCount(), 3001);
        const Fields &f = rs.Fields();
        EXPECT_EQ(f.Item(QStringLiteral("id")).Type(), 3);
        EXPECT_EQ(f.Item(QStringLiteral("name")).DefinedSize(), 10);
        // The SQLite ODBC driver reports numeric columns as SQL_DOUBLE.
        EXPECT_EQ(f.Item(QStringLiteral("amount")).Type(), 5);
        EXPECT_EQ(f.Item(QStringLiteral("born")).Type(), 133);
        EXPECT_EQ(f.Item(QStringLiteral("seen")).Type(), 135);
        // The long value is whole, nothing cut at the declared size.
        EXPECT_EQ(rs.text(0, 1), QString(QStringLiteral("Ångström ✓ ")).repeated(500));
        EXPECT_EQ(rs.text(0, 5), rs.text(0, 1));
        EXPECT_TRUE(rs.isNull(0, 2));
        rs.setAbsolutePosition(2002);
        EXPECT_EQ(f.Item(0).Value(), QVariant(2000));
        EXPECT_EQ(f.Item(1).Value(), QVariant(QStringLiteral("item0")));
        EXPECT_EQ(variantToText(f.Item(2).Value()), "1000");
        EXPECT_EQ(f.Item(3).Value(), QVariant(QDate(2020, 1, 13)));
        EXPECT_EQ(variantToText(f.Item(4).Value()), "1/2/2020 10:20:00 AM");
        rs.setSort(QStringLiteral("name"));
        rs.Find(QStringLiteral("[name] like 'ITEM99%'"));
        EXPECT_EQ(f.Item(1).Value(), QVariant(QStringLiteral("item99")));
    }

    QTemporaryDir dir;
    QString db;
};

} // namespace

TEST_F(SqliteOdbc, ReadsThroughAFileDsnAndADriverString)
{
    const QString dsn = testdb::writeSqliteFileDsn(dir.filePath(QStringLiteral("items.dsn")), db);
    checkItems(QStringLiteral("FileDSN=") + dsn);
    checkItems(QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), db));
}

TEST_F(SqliteOdbc, AFileDsnIsReadAsTheDriverManagerReadsIt)
{
    // The driver manager's folder for file data sources follows ODBCSYSINI; set before any ODBC call of
    // this test process, since the installer library keeps what it read first.
    QTemporaryDir system;
    qputenv("ODBCSYSINI", system.path().toLocal8Bit());
    if (fileDsnFolder() != system.filePath(QStringLiteral("ODBCDataSources")))
        GTEST_SKIP() << "an earlier test of this process fixed the driver manager's folders";
    QDir(system.path()).mkdir(QStringLiteral("ODBCDataSources"));
    testdb::writeFileDsn(system.filePath(QStringLiteral("ODBCDataSources/items.dsn")),
        {QStringLiteral("DRIVER={%1}").arg(testdb::sqliteOdbcDriver()),
            QStringLiteral("Database=%1").arg(db)});
    // A bare name, with and without ".dsn", and the full path; the driver in braces as such files write it.
    for (const QString &name : {QStringLiteral("items"), QStringLiteral("items.dsn"),
             system.filePath(QStringLiteral("ODBCDataSources/items.dsn"))}) {
        Connection c;
        c.Open(QStringLiteral("FileDSN=") + name);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT count(*) FROM items"), &c, Recordset::adOpenStatic);
        EXPECT_EQ(rs.Fields().Item(0).Value().toInt(), 3001) << name.toStdString();
    }
    qunsetenv("ODBCSYSINI");
}

TEST_F(SqliteOdbc, ALongValueInsideABlockIsReadWholeAndTheStatementRunsOnce)
{
    // Bound columns only, so the rows come in blocks, with the long value between ordinary rows. The SQLite
    // driver cannot read a value again inside a block; running the statement again to read it would, in
    // random order, give other rows after it. Every row must come once, whole, in the statement's order.
    Connection c;
    c.Open(QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), db));
    for (const char *order : {"CASE WHEN id = -1 THEN 1500.5 ELSE id END", "random()"}) {
        SCOPED_TRACE(order);
        const bool sorted = order[0] == 'C';
        Recordset rs;
        rs.Open(QStringLiteral("SELECT id, name, born FROM items ORDER BY %1").arg(QLatin1String(order)), &c,
            Recordset::adOpenStatic);
        ASSERT_EQ(rs.rowCount(), 3001);
        std::vector<int> seen(3001, 0);
        for (qsizetype r = 0; r < rs.rowCount(); ++r) {
            const int id = rs.value(r, 0).toInt();
            ++seen[size_t(id + 1)];
            if (sorted) {
                ASSERT_EQ(id, r == 1501 ? -1 : int(r > 1501 ? r - 1 : r)) << r;
            }
            if (id == -1) {
                ASSERT_EQ(rs.text(r, 1), QString(QStringLiteral("Ångström ✓ ")).repeated(500));
                continue;
            }
            ASSERT_EQ(rs.text(r, 1), QStringLiteral("item%1").arg(id % 100)) << r;
            ASSERT_EQ(rs.value(r, 2), QVariant(QDate(2020, 1, 1 + id % 28))) << r;
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 3001);
    }
}

TEST_F(SqliteOdbc, TextReadsAsTheNativeDriverReadsIt)
{
    // The SQLite driver hands text out as UTF-8 and a value longer than its buffer in pieces; a character
    // of several bytes falls across the end of the first piece in some of these rows. The native driver,
    // which reads SQLite's own bytes, is the oracle.
    QStringList statements {QStringLiteral("CREATE TABLE texts (id integer, t varchar(8))"),
        QStringLiteral("INSERT INTO texts VALUES (1, NULL), (2, ''), (3, 'plain'), (4, 'Zoë Ærø ✓'), "
                       "(5, '日本語のテキスト'), (6, 'a😀b'), (7, '%1')")
            .arg(QString(QStringLiteral("Émile 😀 ")).repeated(3000))};
    for (int k = 8180; k <= 8192; ++k) {
        statements << QStringLiteral("INSERT INTO texts VALUES (%1, '%2😀é%3')")
                          .arg(k)
                          .arg(QString(qsizetype(k), QLatin1Char('x')), QString(k - 8000, QLatin1Char('y')));
    }
    const QString path = dir.filePath(QStringLiteral("texts.db"));
    testdb::makeSqlite(path, statements);

    auto read = [](const QString &connectionString) {
        Connection c;
        c.Open(connectionString);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT id, t FROM texts ORDER BY id"), &c, Recordset::adOpenStatic);
        std::vector<std::pair<int, QVariant>> rows;
        for (qsizetype r = 0; r < rs.rowCount(); ++r)
            rows.emplace_back(rs.value(r, 0).toInt(), rs.value(r, 1));
        return rows;
    };
    const auto native = read(QStringLiteral("Provider=SQLite;Data Source=") + path);
    const auto odbc = read(QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), path));
    ASSERT_EQ(native.size(), 20u);
    ASSERT_EQ(odbc.size(), native.size());
    EXPECT_FALSE(native[0].second.isValid());
    EXPECT_EQ(native[5].second, QVariant(QStringLiteral("a😀b")));
    for (size_t i = 0; i < native.size(); ++i) {
        EXPECT_EQ(odbc[i].first, native[i].first);
        // Not EXPECT_EQ: a failure would print both long texts whole.
        EXPECT_TRUE(odbc[i].second == native[i].second) << "id " << native[i].first;
    }
}

TEST(OdbcFetch, TheMethodIsChosenFromWhatTheDriverCanDo)
{
    const struct
    {
        quint32 getData;
        OdbcFetchMethod method;
    } cases[] = {
        {SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BLOCK | SQL_GD_BOUND,
            OdbcFetchMethod::BlockGetData}, // psqlODBC
        {SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND, OdbcFetchMethod::SingleRowBound}, // SQLite ODBC
        {SQL_GD_BOUND, OdbcFetchMethod::SingleRowBound},
        {SQL_GD_BLOCK, OdbcFetchMethod::RowByRowGetData}, // bound columns unreadable
        {0, OdbcFetchMethod::RowByRowGetData},
    };
    for (const auto &c : cases)
        EXPECT_EQ(chooseOdbcFetchMethod(c.getData), c.method) << c.getData;
}

TEST(OdbcFetch, ABlockIsCountedFromTheStatusArrayWhenTheDriverLeavesTheCountUnset)
{
    const quint16 none[4] = {SQL_ROW_NOROW, SQL_ROW_NOROW, SQL_ROW_NOROW, SQL_ROW_NOROW};
    const quint16 three[4] = {SQL_ROW_SUCCESS, SQL_ROW_SUCCESS_WITH_INFO, SQL_ROW_ERROR, SQL_ROW_NOROW};
    EXPECT_EQ(odbcBlockRowCount(2, none, 4), 2); // the driver's count wins
    EXPECT_EQ(odbcBlockRowCount(FetchedUnset, three, 4), 3);
    // Neither written: not an empty block but an error for the caller.
    EXPECT_EQ(odbcBlockRowCount(FetchedUnset, none, 4), -1);
}

// A connection or a query that fails, through every driver: the driver's own words in the error, and the
// connection or the record set left closed.
TEST_F(SqliteOdbc, FailuresCarryTheDriversDiagnostics)
{
    const QString odbc = QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), db);
    struct Case
    {
        QString connection, query, says; // no query: the connection fails
    };
    std::vector<Case> cases {
        {testdb::nativeString(dir.filePath(QStringLiteral("nothere.db"))), {}, "nothere.db"},
        {testdb::nativeString(db), QStringLiteral("SELEC * FROM items"), QStringLiteral("syntax error")},
        {testdb::nativeString(db), QStringLiteral("nosuchtable"), QStringLiteral("no such table")},
        {QStringLiteral("Driver={No Such Driver};Database=x"), {}, QStringLiteral("No Such Driver")},
        {QStringLiteral("FileDSN=") + dir.filePath(QStringLiteral("missing.dsn")), {},
            QStringLiteral("missing.dsn")},
        {odbc, QStringLiteral("SELECT * FROM nowhere"), QStringLiteral("no such table")}};
    if (testdb::havePostgres()) {
        cases.push_back({testdb::postgresDriverString(), QStringLiteral("SELECT nothing FROM pg_class"),
            QStringLiteral("nothing")});
        cases.push_back({QStringLiteral("Driver={%1};Servername=%2;Port=%3;Database=nodb;UID=postgres")
                             .arg(qEnvironmentVariable("VQ_PG_DRIVER"), qEnvironmentVariable("VQ_PG_HOST"),
                                 qEnvironmentVariable("VQ_PG_PORT")),
            {}, QStringLiteral("nodb")});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.connection.toStdString() + " " + c.query.toStdString());
        Connection connection;
        Recordset rs;
        const QString message = errorText([&] {
            connection.Open(c.connection);
            rs.Open(c.query, &connection, Recordset::adOpenStatic);
        });
        EXPECT_TRUE(message.contains(c.says)) << message.toStdString();
        EXPECT_EQ(
            connection.State(), c.query.isEmpty() ? Connection::adStateClosed : Connection::adStateOpen);
        EXPECT_EQ(rs.State(), Recordset::adStateClosed);
    }
}

namespace {

class Postgres : public testdb::PostgresTable
{
protected:
    Postgres()
        : PostgresTable("vq_types")
    { }
    void SetUp() override
    {
        PostgresTable::SetUp();
        if (IsSkipped())
            return;
        admin.Execute(QStringLiteral(
            "CREATE TABLE %1 (i integer, b bigint, s smallint, r real, d double precision, n numeric(10,2), "
            "v varchar(20), t text, dt date, ts timestamp, tm time, f boolean)")
                          .arg(table));
        admin.Execute(
            QStringLiteral("INSERT INTO %1 VALUES (1, 9000000000, 7, 0.5, 2.25, 12.50, 'Zoë ✓', "
                           "repeat('long ', 3000), '2020-01-02', '2020-01-02 10:30:00', '08:15:00', true), "
                           "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)")
                .arg(table));
    }

    void checkTypes(const QString &connectionString)
    {
        Connection c;
        c.Open(connectionString);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM %1 ORDER BY i").arg(table), &c, Recordset::adOpenStatic);
        ASSERT_EQ(rs.RecordCount(), 2);
        const Fields &f = rs.Fields();
        const std::vector<int> types {3, 20, 2, 4, 5, 131, 202, 203, 133, 135, 134, 11};
        for (int i = 0; i < f.Count(); ++i)
            EXPECT_EQ(f.Item(i).Type(), types[size_t(i)]) << f.Item(i).Name().toStdString();
        EXPECT_EQ(f.Item(QStringLiteral("v")).DefinedSize(), 20);
        EXPECT_EQ(f.Item(0).Value(), QVariant(1));
        EXPECT_EQ(f.Item(1).Value(), QVariant(qlonglong(9000000000)));
        EXPECT_EQ(variantToText(f.Item(5).Value()), "12.5");
        EXPECT_EQ(f.Item(6).Value(), QVariant(QStringLiteral("Zoë ✓")));
        EXPECT_EQ(f.Item(7).Value().toString(), QString(QStringLiteral("long ")).repeated(3000));
        EXPECT_EQ(variantToText(f.Item(8).Value()), "1/2/2020");
        EXPECT_EQ(variantToText(f.Item(9).Value()), "1/2/2020 10:30:00 AM");
        EXPECT_EQ(f.Item(10).Value(), QVariant(QTime(8, 15)));
        EXPECT_EQ(variantToText(f.Item(11).Value()), "True");
        rs.MoveNext();
        for (int i = 0; i < f.Count(); ++i)
            EXPECT_FALSE(f.Item(i).Value().isValid()) << i;
        rs.setFilter(QStringLiteral("[v] like 'zoË%' and [n] = 12.5"));
        EXPECT_EQ(rs.RecordCount(), 1);
    }
};

} // namespace

TEST_F(Postgres, ReadsEveryTypeThroughADriverStringAndAFileDsn)
{
    checkTypes(testdb::postgresDriverString());
    QTemporaryDir dir;
    const QString dsn = testdb::writePostgresFileDsn(dir.filePath(QStringLiteral("pg.dsn")),
        qEnvironmentVariable("VQ_PG_DATABASE"), {QStringLiteral("BoolsAsChar=0")});
    checkTypes(QStringLiteral("FileDSN=") + dsn);
}

TEST_F(Postgres, FetchesThroughAServerCursorUnlessTheConnectionStringSaysOtherwise)
{
    // The driver's own default would read every row into memory before the first one comes back. Through
    // server cursors, the streaming rows and the count below each have one.
    for (const auto &[extra, cursors] :
        {std::pair(QString(), 2), std::pair(QStringLiteral(";UseDeclareFetch=0"), 0)}) {
        Connection c;
        c.Open(testdb::postgresDriverString() + extra);
        Recordset rows;
        rows.Open(
            QStringLiteral("SELECT g FROM generate_series(1, 10000) g"), &c, Recordset::adOpenForwardOnly);
        Recordset open;
        open.Open(QStringLiteral("SELECT count(*) FROM pg_cursors"), &c, Recordset::adOpenStatic);
        EXPECT_EQ(open.value(0, 0).toInt(), cursors) << extra.toStdString();
        EXPECT_EQ(rows.Fields().Item(0).Value().toInt(), 1);
    }
}

TEST_F(Postgres, ALongTextReadInPiecesKeepsACharacterThatFallsBetweenThem)
{
    // psqlODBC hands long text out as UTF-16 in pieces of our buffer's size; a character outside the basic
    // plane is two units, and in one of these rows the first piece ends between them.
    Recordset rs;
    rs.Open(QStringLiteral("SELECT k, repeat('x', k) || '😀' || repeat('é', 5000) AS t FROM "
                           "generate_series(4088, 4100) k ORDER BY k"),
        &admin, Recordset::adOpenStatic);
    ASSERT_EQ(rs.rowCount(), 13);
    for (qsizetype r = 0; r < rs.rowCount(); ++r) {
        const int k = rs.value(r, 0).toInt();
        const QString expected =
            QString(qsizetype(k), QLatin1Char('x')) + QStringLiteral("😀") + QString(5000, QChar(0xE9));
        EXPECT_TRUE(rs.text(r, 1) == expected) << "k " << k;
    }
}

// The server drops a connection (only this test's own: other tests share the server) while rows come or
// between statements: the rows fetched so far stay with the driver's message, an Open says why it cannot
// run, and a Requery opens the connection again.
TEST_F(Postgres, AConnectionTheServerDropsKeepsItsRowsAndRequeryOpensItAgain)
{
    const QString big = testdb::uniqueName("vq_big");
    admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(big));
    admin.Execute(QStringLiteral("CREATE TABLE %1 AS SELECT g AS id, 'row ' || g AS name FROM "
                                 "generate_series(1, 20000) g")
                      .arg(big));
    // Through a server cursor, 100 rows at a time, so the server is needed to the last row.
    const auto connect = [&](Connection &c) {
        c.Open(testdb::postgresDriverString() + QStringLiteral(";UseDeclareFetch=1;Fetch=100"));
        Recordset pid;
        pid.Open(QStringLiteral("SELECT pg_backend_pid()"), &c, Recordset::adOpenStatic);
        return pid.Fields().Item(0).Value().toInt();
    };
    const auto drop = [&](int backend) {
        admin.Execute(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(backend));
    };
    const QString query = QStringLiteral("SELECT id, name FROM %1 ORDER BY id").arg(big);

    // Forward-only: dropped after 150 rows were read.
    Connection c;
    int backend = connect(c);
    Recordset rs;
    rs.Open(query, &c, Recordset::adOpenForwardOnly);
    int read = 0;
    QString message;
    try {
        while (!rs.isEOF()) {
            if (read == 150)
                drop(backend);
            EXPECT_EQ(rs.Fields().Item(0).Value().toInt(), read + 1);
            ++read;
            rs.MoveNext();
        }
    } catch (const Error &e) {
        message = e.description();
    }
    EXPECT_FALSE(message.isEmpty());
    EXPECT_GE(read, 150);
    EXPECT_LT(read, 20000);
    EXPECT_TRUE(rs.isEOF());

    // Static: dropped at the first progress report.
    backend = connect(c);
    Recordset all;
    QObject::connect(&all, &Recordset::FetchProgress, [&](qsizetype progress, qsizetype) {
        if (progress > 0 && backend > 0)
            drop(std::exchange(backend, 0));
    });
    message = errorText([&] { all.Open(query, &c, Recordset::adOpenStatic); });
    ASSERT_EQ(backend, 0) << "the fetch ended before the first progress report";
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(all.State(), Recordset::adStateOpen) << message.toStdString();
    EXPECT_GT(all.RecordCount(), 0);
    EXPECT_LT(all.RecordCount(), 20000);

    // Between statements: Open reports the lost connection; Requery runs on a new one.
    backend = connect(c);
    Recordset small;
    small.Open(QStringLiteral("SELECT id FROM %1 WHERE id <= 1000").arg(big), &c, Recordset::adOpenStatic);
    drop(backend);
    Recordset gone;
    EXPECT_FALSE(errorText([&] { gone.Open(big, &c, Recordset::adOpenStatic); }).isEmpty());
    message = errorText([&] { small.Requery(); });
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    EXPECT_EQ(small.RecordCount(), 1000);
    admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(big));
}
