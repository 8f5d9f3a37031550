#include "data/TestDatabase.h"

#include "data/Connection.h"
#include "lists/ListFill.h"
#include "lists/VqPortableListBox.h"
#include "platform/Error.h"
#include "platform/Screen.h"

#include "lists/ListBoxWidget.h"
#include <QAbstractItemModel>

#include <gtest/gtest.h>

namespace {

QStringList itemsOf(const VqPortableListBox &control)
{
    QStringList items;
    for (int i = 0; i < control.ListCount(); ++i)
        items << control.List(i);
    return items;
}

// Fills a control through RefreshData as a host would, and checks what every fill promises whatever its
// outcome: it returns false, throws and reports nothing, shows the hourglass while it reads rows and leaves
// the arrow behind.
QStringList refill(VqPortableListBox &control, const QString &dsn, const QString &query)
{
    control.setDSNName(dsn);
    control.setQuery(query);
    control.Clear();
    control.AddItem(QStringLiteral("stale"));
    vq::Screen::setMousePointer(vq::Screen::Default);
    int reported = 0;
    const vq::ErrorHandler previous = vq::setErrorHandler([&](const vq::Error &) { ++reported; });
    QList<int> pointerWhileAdding;
    auto *list = control.findChild<vq::ListBoxWidget *>(QStringLiteral("lstList"));
    const QMetaObject::Connection watch = QObject::connect(list->model(), &QAbstractItemModel::rowsInserted,
        [&] { pointerWhileAdding << vq::Screen::MousePointer(); });
    bool result = true;
    try {
        result = control.RefreshData();
    } catch (const vq::Error &e) {
        ADD_FAILURE() << "RefreshData threw " << e.what();
    }
    QObject::disconnect(watch);
    vq::setErrorHandler(previous);
    EXPECT_FALSE(result);
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow);
    for (int pointer : pointerWhileAdding)
        EXPECT_EQ(pointer, vq::Screen::Hourglass);
    return itemsOf(control);
}

// A query and the items its fill leaves in the list.
struct FillCase
{
    const char *query;
    QStringList items;
};

template<size_t N>
void checkFills(const QString &dsn, const FillCase (&cases)[N])
{
    VqPortableListBox control;
    for (const FillCase &c : cases)
        EXPECT_EQ(refill(control, dsn, QString::fromLatin1(c.query)), c.items) << c.query;
}

class SqliteFill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = dir.filePath(QStringLiteral("shop.db"));
        testdb::makeSqlite(db,
            {QStringLiteral(
                 "CREATE TABLE t (id integer, amount numeric(10,2), born date, name text, note text)"),
                QStringLiteral("INSERT INTO t VALUES (1, 1.5, '2020-01-02', 'one', 'x'), "
                               "(2, 1000, '2020-12-31', 'two', 'y'), (3, -0.25, '1999-07-04', NULL, 'z'), "
                               "(4, 12, '2021-03-04', 'four', 'w')")});
        dsn = testdb::writeSqliteFileDsn(dir.filePath(QStringLiteral("shop.dsn")), db);
    }

    QTemporaryDir dir;
    QString db;
    QString dsn;
};

} // namespace

TEST_F(SqliteFill, TheFirstColumnOfEveryRowBecomesAnItemUntilTheFirstNull)
{
    const FillCase cases[] = {
        {"SELECT amount, name FROM t ORDER BY id", {"1.5", "1000", "-0.25", "12"}},
        {"SELECT born FROM t ORDER BY id", {"1/2/2020", "12/31/2020", "7/4/1999", "3/4/2021"}},
        {"SELECT id * 10, note FROM t ORDER BY id DESC", {"40", "30", "20", "10"}},
        {"SELECT 'same' FROM t", {"same", "same", "same", "same"}},
        {"SELECT name FROM t WHERE id > 99", {}},
        // A null ends the fill: the rows before it stay, the rows after it are never read.
        {"SELECT name FROM t ORDER BY id", {"one", "two"}},
        {"SELECT note FROM t ORDER BY id", {"x", "y", "z", "w"}},
    };
    checkFills(dsn, cases);
}

TEST_F(SqliteFill, ASourceOrQueryThatFailsLeavesTheListEmptyAndSaysNothing)
{
    const QString wrongDriver = testdb::writeFileDsn(dir.filePath(QStringLiteral("wrong.dsn")),
        {QStringLiteral("DRIVER=No Such Driver"), QStringLiteral("Database=%1").arg(db)});
    struct Case
    {
        const char *what;
        QString dsn;
        QString query;
    };
    const Case cases[] = {
        {"empty DSNName", QString(), QStringLiteral("SELECT id FROM t")},
        {"missing file", dir.filePath(QStringLiteral("missing.dsn")), QStringLiteral("SELECT id FROM t")},
        {"wrong driver", wrongDriver, QStringLiteral("SELECT id FROM t")},
        {"failing query", dsn, QStringLiteral("SELECT id FROM nowhere")},
        {"empty query", dsn, QString()},
    };
    VqPortableListBox control;
    for (const Case &c : cases)
        EXPECT_EQ(refill(control, c.dsn, c.query), QStringList()) << c.what;
}

namespace {

// A database of this test's own on the test server, so that other tests' connections and ours never meet.
class PostgresFill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testdb::havePostgres())
            GTEST_SKIP() << "no test server: run through ./vq test (tests/support/with-postgres.sh)";
        database = testdb::uniqueName("vq_lists");
        admin.Open(testdb::postgresDriverString());
        admin.Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
        admin.Execute(QStringLiteral("CREATE DATABASE %1").arg(database));
        // The driver reads through a server cursor a hundred rows at a time, so a fill needs the server
        // to its last row.
        dsn = testdb::writePostgresFileDsn(dir.filePath(QStringLiteral("pg.dsn")), database,
            {QStringLiteral("UseDeclareFetch=1"), QStringLiteral("Fetch=100")});
        vq::Connection setup;
        setup.Open(QStringLiteral("FileDSN=") + dsn);
        setup.Execute(QStringLiteral("CREATE TABLE t (id integer, amount numeric(10,2), born date, "
                                     "seen timestamp, name varchar(20))"));
        setup.Execute(QStringLiteral(
            "INSERT INTO t VALUES (1, 12.50, '2020-01-02', '2020-01-02 10:30:00', 'Zoë'), "
            "(2, 1000, '1999-12-31', '1999-12-31 00:00:00', NULL), (3, -3, '2021-03-04', NULL, 'three')"));
    }

    void TearDown() override
    {
        if (admin.State() == vq::Connection::adStateOpen)
            admin.Execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
    }

    QTemporaryDir dir;
    vq::Connection admin;
    QString database;
    QString dsn;
};

} // namespace

TEST_F(PostgresFill, ValuesOfEveryKindBecomeTheirTextAndANullEndsTheFill)
{
    const FillCase cases[] = {
        {"SELECT amount FROM t ORDER BY id", {"12.5", "1000", "-3"}},
        {"SELECT born, name FROM t ORDER BY id", {"1/2/2020", "12/31/1999", "3/4/2021"}},
        {"SELECT seen FROM t ORDER BY id", {"1/2/2020 10:30:00 AM", "12/31/1999"}},
        {"SELECT name FROM t ORDER BY id", {"Zoë"}},
        {"SELECT name FROM t WHERE id < 0", {}},
        {"SELECT nothing FROM t", {}},
    };
    checkFills(dsn, cases);
}

TEST_F(PostgresFill, AServerGoneInTheMiddleOfAFillKeepsTheRowsReadBeforeIt)
{
    constexpr int Rows = 40000;
    // Blocks of 500 rows reach the list while the fill goes on; the first one ends the fill's server
    // connection (only ours: the database is this test's alone, and the admin connection is elsewhere).
    QStringList items;
    qsizetype terminatedAt = -1;
    vq::Screen::setMousePointer(vq::Screen::Default);
    vq::lists::fillFromFileDsn(
        dsn, QStringLiteral("SELECT g FROM generate_series(1, %1) g ORDER BY g").arg(Rows),
        [&](QStringList &&block) {
            items += block;
            if (terminatedAt < 0) {
                terminatedAt = items.size();
                admin.Execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                             "datname = '%1'")
                                  .arg(database));
            }
        },
        500);
    EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow);
    ASSERT_EQ(terminatedAt, 500);
    EXPECT_GE(items.size(), terminatedAt);
    EXPECT_LT(items.size(), Rows);
    for (qsizetype i = 0; i < items.size(); ++i)
        ASSERT_EQ(items[i], QString::number(i + 1));

    // The server still serves new connections: the next fill, through the control, reads everything.
    VqPortableListBox control;
    EXPECT_EQ(refill(control, dsn, QStringLiteral("SELECT count(*) FROM generate_series(1, %1)").arg(Rows)),
        QStringList({QString::number(Rows)}));
}
