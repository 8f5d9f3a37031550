#include "TestDatabase.h"

#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
#include "platform/Error.h"

#include <QSignalSpy>

#include <functional>

#include <gtest/gtest.h>

using namespace vq;

namespace {

class RecordsetModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("model.db"));
        testdb::makeSqlite(path,
            {QStringLiteral("CREATE TABLE t (id integer, name varchar(20), amount double)"),
                QStringLiteral("INSERT INTO t VALUES (1, 'Cole', 2.5), (2, 'adams', NULL), (3, 'Baker', 10), "
                               "(4, 'baker', 7), (5, NULL, 1)")});
        connection.Open(testdb::nativeString(path));
        rs.Open(QStringLiteral("SELECT * FROM t"), &connection, Recordset::adOpenStatic);
        model.setRecordset(&rs);
    }

    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out.append(model.index(r, c).data().toString());
        return out;
    }

    QTemporaryDir dir;
    QString path;
    Connection connection;
    Recordset rs;
    RecordsetModel model;
};

TEST_F(RecordsetModelTest, ShowsFieldsAndCellsAsTheRecordsetHasThem)
{
    ASSERT_EQ(model.rowCount(), 5);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("name"));
    EXPECT_EQ(model.fieldNames(),
        (QStringList {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")}));
    EXPECT_EQ(column(1),
        (QStringList {QStringLiteral("Cole"), QStringLiteral("adams"), QStringLiteral("Baker"),
            QStringLiteral("baker"), QString()}));
    EXPECT_EQ(column(2),
        (QStringList {QStringLiteral("2.5"), QString(), QStringLiteral("10"), QStringLiteral("7"),
            QStringLiteral("1")}));
    // The value role keeps nulls apart from empty texts.
    EXPECT_FALSE(model.index(1, 2).data(Qt::EditRole).isValid());
    EXPECT_EQ(model.index(2, 0).data(Qt::EditRole), QVariant(3));
    // Outside the rows and columns there is nothing, and nothing is editable.
    EXPECT_FALSE(model.index(5, 0).isValid());
    EXPECT_FALSE(model.index(0, 3).isValid());
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a table has no children";
}

TEST_F(RecordsetModelTest, FollowsSortFilterAndRequeryWithOneResetEach)
{
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    struct Step
    {
        std::function<void()> change;
        QStringList ids;
    };
    const Step steps[] = {
        {[&] { rs.setSort(QStringLiteral("name")); }, {"5", "2", "3", "4", "1"}},
        {[&] { rs.setSort(QStringLiteral("amount DESC")); }, {"3", "4", "1", "5", "2"}},
        {[&] { rs.setFilter(QStringLiteral("amount > 2")); }, {"3", "4", "1"}},
        {[&] { rs.setFilter(QStringLiteral("name LIKE 'b%'")); }, {"3", "4"}},
        {[&] {
             connection.Execute(QStringLiteral("INSERT INTO t VALUES (6, 'Bell', 99)"));
             rs.Requery();
         },
            {"6", "3", "4"}},
        {[&] { rs.setFilter(QString()); }, {"6", "3", "4", "1", "5", "2"}},
        {[&] { rs.setSort(QString()); }, {"1", "2", "3", "4", "5", "6"}},
    };
    int expectedResets = 0;
    for (const Step &s : steps) {
        s.change();
        ++expectedResets;
        EXPECT_EQ(resets.count(), expectedResets);
        EXPECT_EQ(column(0), s.ids);
    }
}

TEST_F(RecordsetModelTest, ReadsTheRecordsetAfreshEveryTime)
{
    // No cell is kept: a changed value shows after the record set fetches again.
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("Cole"));
    connection.Execute(QStringLiteral("UPDATE t SET name = 'Coleman' WHERE id = 1"));
    rs.Requery();
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("Coleman"));
    const quint64 before = model.textsMade();
    model.index(0, 1).data();
    model.index(0, 1).data();
    EXPECT_EQ(model.textsMade() - before, 2u);
}

TEST_F(RecordsetModelTest, ReopeningWithOtherFieldsResetsOnceAndClosingEmpties)
{
    QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    // Open closes the open record set first: both brackets make one reset.
    rs.Open(QStringLiteral("SELECT name FROM t WHERE id < 3"), &connection, Recordset::adOpenStatic);
    EXPECT_EQ(aboutToReset.count(), 1);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(column(0), (QStringList {QStringLiteral("Cole"), QStringLiteral("adams")}));

    rs.Close();
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal).isValid());

    // A failing query leaves the model consistent with what the record set then holds.
    EXPECT_THROW(
        rs.Open(QStringLiteral("SELECT * FROM missing"), &connection, Recordset::adOpenStatic), vq::Error);
    EXPECT_EQ(aboutToReset.count(), resets.count());
    EXPECT_EQ(model.rowCount(), int(rs.rowCount()));
}

TEST_F(RecordsetModelTest, LetsGoOfADestroyedRecordset)
{
    auto other = std::make_unique<Recordset>();
    other->Open(QStringLiteral("t"), &connection, Recordset::adOpenStatic);
    model.setRecordset(other.get());
    EXPECT_EQ(model.rowCount(), 5);
    other.reset();
    EXPECT_EQ(model.recordset(), nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).data().isValid());
}

TEST_F(RecordsetModelTest, AWindowShowsItsRecordsAndMovesWithoutAReset)
{
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const struct
    {
        int first, rows;
        QStringList ids; // the window's rows, by the id column
        int inserted, removed, changed; // row signals this step adds
    } steps[] = {
        {1, 2, {"2", "3"}, 0, 1, 1}, // five rows become two, moved by one
        {1, 3, {"2", "3", "4"}, 1, 0, 0}, // grown at the end, nothing moved
        {3, 3, {"4", "5"}, 0, 1, 1}, // short at the end of the records
        {7, 3, {}, 0, 1, 0}, // past the end: empty, taken as the end
        {0, -1, {"1", "2", "3", "4", "5"}, 1, 0, 0}, // every record again
    };
    int ins = 0, rem = 0, chg = 0;
    for (const auto &s : steps) {
        model.setWindow(s.first, s.rows);
        EXPECT_EQ(column(0), s.ids) << s.first << "+" << s.rows;
        EXPECT_EQ(inserted.count(), ins += s.inserted) << s.first << "+" << s.rows;
        EXPECT_EQ(removed.count(), rem += s.removed) << s.first << "+" << s.rows;
        EXPECT_EQ(changed.count(), chg += s.changed) << s.first << "+" << s.rows;
        EXPECT_EQ(model.recordCount(), 5);
    }
    EXPECT_EQ(resets.count(), 0);

    // Row headers and record texts count records, whatever the window.
    model.setWindow(2, 2);
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toInt(), 4);
    EXPECT_EQ(model.recordText(0, 1), QStringLiteral("Cole"));
    EXPECT_EQ(model.recordText(5, 1), QString());

    // A change of the record set's rows is one reset, and the window stays where it was.
    rs.setSort(QStringLiteral("id DESC"));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.windowFirst(), 2);
    EXPECT_EQ(column(0), (QStringList {QStringLiteral("3"), QStringLiteral("2")}));
    rs.setFilter(QStringLiteral("id < 3"));
    EXPECT_EQ(model.rowCount(), 0) << "two records leave nothing from the third on";
    EXPECT_EQ(model.recordCount(), 2);
}

} // namespace
