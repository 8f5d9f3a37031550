#include "helplist/DataGrid.h"
#include "data/Adodc.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/RecordsetModel.h"
#include "platform/Error.h"

#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "support/Errors.h"

using namespace vq;
using vq::test::errorNumber;

namespace {

// An SQLite file with `rows` rows of (id, name, city, amount, note); names are a permutation of the ids so
// that sorting by name reorders the rows.
QString makeTable(const QTemporaryDir &dir, int rows)
{
    const QString path = dir.filePath(QStringLiteral("grid.db"));
    // The driver opens existing files only; an empty file is an empty database.
    QFile(path).open(QIODevice::WriteOnly);
    Connection c;
    c.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(path));
    c.Execute(QStringLiteral("CREATE TABLE people (id integer, name varchar(20), city varchar(20), amount "
                             "double, note varchar(20))"));
    const QString n = QString::number(rows);
    c.Execute(
        QStringLiteral("INSERT INTO people WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < ") +
        n + QStringLiteral(") SELECT i, printf('N%07d', (i * 7919) % ") + n +
        QStringLiteral("), printf('City%d', i % 5), i * 1.5, 'note' || i FROM n"));
    return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path);
}

class GridTest : public ::testing::Test
{
protected:
    void open(int rows, const QString &source = QStringLiteral("SELECT * FROM people ORDER BY id"))
    {
        adodc.setConnectionString(makeTable(dir, rows));
        adodc.setRecordSource(source);
        adodc.Refresh();
        grid.setDataSource(&adodc);
        grid.resize(400, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    Recordset *rs() { return adodc.Recordset(); }

    QPoint headerCenter(int col)
    {
        QHeaderView *h = grid.horizontalHeader();
        return QPoint(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    }

    void clickHeader(int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, modifiers, headerCenter(col));
    }

    QPoint cellCenter(int row, int col) { return grid.cellRect(row, col).center(); }

    QTemporaryDir dir;
    Adodc adodc;
    DataGrid grid;
};

TEST_F(GridTest, BindingShowsFieldsAndTheCurrentRecord)
{
    open(40);
    ASSERT_EQ(grid.ColumnCount(), 5);
    EXPECT_EQ(grid.Columns(1).Caption(), QStringLiteral("name"));
    EXPECT_EQ(grid.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("amount"));
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.Text(), QStringLiteral("1"));

    // The record set moving moves the grid at once; Refresh keeps it there.
    ASSERT_TRUE(rs()->Find(QStringLiteral("id = 25")));
    EXPECT_EQ(grid.Row(), 24);
    grid.setCol(4);
    EXPECT_EQ(grid.Text(), QStringLiteral("note25"));
    EXPECT_EQ(grid.Columns(2).Text(), QStringLiteral("City0"));
    grid.Refresh();
    EXPECT_EQ(grid.Row(), 24);

    // The found row is brought into view.
    EXPECT_TRUE(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())));

    // At EOF there is no current row and no text; the column is kept for the next row.
    EXPECT_FALSE(rs()->Find(QStringLiteral("id = 999")));
    grid.Refresh();
    EXPECT_EQ(grid.Row(), -1);
    EXPECT_EQ(grid.Text(), QString());
    EXPECT_EQ(grid.Col(), 4);
    rs()->MoveFirst();
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Text(), QStringLiteral("note1"));
}

TEST_F(GridTest, KeysMoveTheCurrentCellAndTheRecordAndRaiseRowColChange)
{
    open(40);
    grid.setFocus();
    QSignalSpy changes(&grid, &DataGrid::RowColChange);
    struct Step
    {
        Qt::Key key;
        int row;
        int col;
    };
    const Step steps[] = {{Qt::Key_Down, 1, 0}, {Qt::Key_Down, 2, 0}, {Qt::Key_Right, 2, 1},
        {Qt::Key_Up, 1, 1}, {Qt::Key_Left, 1, 0}, {Qt::Key_End, 1, 4}, {Qt::Key_PageDown, -2, 4}};
    int expectedChanges = 0;
    for (const Step &s : steps) {
        QTest::keyClick(&grid, s.key);
        ++expectedChanges;
        if (s.row >= 0)
            EXPECT_EQ(grid.Row(), s.row) << "after key " << s.key;
        else
            EXPECT_GT(grid.Row(), 5) << "a page down moves by a page";
        EXPECT_EQ(grid.Col(), s.col) << "after key " << s.key;
        EXPECT_EQ(rs()->AbsolutePosition(), grid.Row() + 1) << "the record set follows the grid";
        EXPECT_EQ(changes.count(), expectedChanges);
    }
    // Moving against the edge changes nothing and raises nothing.
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(changes.count(), expectedChanges);
    // Typed letters do not search or move.
    const int row = grid.Row();
    QTest::keyClicks(&grid, QStringLiteral("N00"));
    EXPECT_EQ(grid.Row(), row);
}

TEST_F(GridTest, KeyPressSeesCharactersAndCanSwallowThem)
{
    QWidget parent;
    int parentKeys = 0;
    struct KeyCounter : QObject
    {
        int *count;
        explicit KeyCounter(int *c)
            : count(c)
        { }
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Return)
                ++*count;
            return false;
        }
    } counter(&parentKeys);
    parent.installEventFilter(&counter);
    grid.setParent(&parent);
    parent.resize(400, 300);
    parent.show();
    open(10);
    grid.setFocus();

    QList<short> seen;
    short replaceWith = -1;
    QObject::connect(&grid, &DataGrid::KeyPress, &grid, [&](short &ascii) {
        seen.append(ascii);
        if (replaceWith >= 0)
            ascii = replaceWith;
    });
    // Not swallowed, ENTER goes on to the grid, which leaves it to its window.
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, 'a');
    QTest::keyClick(&grid, 'A', Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(seen, (QList<short> {13, 'a', 'A'})) << "arrows type no character";
    EXPECT_EQ(parentKeys, 1) << "ENTER reached the window";
    EXPECT_EQ(grid.Row(), 1);

    replaceWith = 0;
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(parentKeys, 1) << "a swallowed ENTER stops at the grid";

    // A letter changed into ENTER is handled as ENTER.
    replaceWith = 13;
    QTest::keyClick(&grid, Qt::Key_B);
    EXPECT_EQ(parentKeys, 2);
    grid.setParent(nullptr);
}

TEST_F(GridTest, HeaderClicksSelectColumnsAndShiftClickExtends)
{
    open(40);
    EXPECT_EQ(grid.SelStartCol(), -1);
    EXPECT_EQ(grid.SelEndCol(), -1);
    struct Click
    {
        int col;
        Qt::KeyboardModifiers modifiers;
        int start;
        int end;
    };
    const Click clicks[] = {{2, Qt::NoModifier, 2, 2}, {0, Qt::ShiftModifier, 0, 2},
        {1, Qt::ShiftModifier, 1, 2}, {1, Qt::NoModifier, 1, 1}, {2, Qt::ShiftModifier, 1, 2}};
    for (const Click &c : clicks) {
        clickHeader(c.col, c.modifiers);
        EXPECT_EQ(grid.SelStartCol(), c.start) << "click on " << c.col;
        EXPECT_EQ(grid.SelEndCol(), c.end) << "click on " << c.col;
    }
    // The record set moving the grid keeps the columns chosen for a command.
    ASSERT_TRUE(rs()->Find(QStringLiteral("id = 30")));
    EXPECT_EQ(grid.SelStartCol(), 1);

    // A cell click drops the column selection; Ctrl+Space selects the current column.
    const int clicked = grid.FirstRow() + 3;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(clicked, 3));
    EXPECT_EQ(grid.Row(), clicked);
    EXPECT_EQ(grid.Text(), rs()->text(clicked, 3));
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.SelStartCol(), -1);
    QTest::keyClick(&grid, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(grid.SelStartCol(), 3);
    EXPECT_EQ(grid.SelEndCol(), 3);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.SelStartCol(), -1);
}

TEST_F(GridTest, RightButtonIsReportedAndKeepsTheSelectionForTheMenu)
{
    open(10);
    clickHeader(3);
    QSignalSpy ups(&grid, &DataGrid::MouseUp);
    QSignalSpy moves(&grid, &DataGrid::RowColChange);
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ShiftModifier, cellCenter(2, 1));
    ASSERT_EQ(ups.count(), 1);
    EXPECT_EQ(ups.at(0).at(0).value<short>(), 2);
    EXPECT_EQ(ups.at(0).at(1).value<short>(), 1);
    EXPECT_GT(ups.at(0).at(3).toFloat(), float(grid.horizontalHeader()->height() * 15 - 1))
        << "Y counts from the grid's top, above the header";
    EXPECT_EQ(moves.count(), 0) << "the right button does not move the current cell";
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.SelStartCol(), 3) << "the columns chosen for the menu stay selected";

    // Over the column headers too.
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::RightButton, Qt::NoModifier, headerCenter(1));
    ASSERT_EQ(ups.count(), 2);
    EXPECT_EQ(ups.at(1).at(0).value<short>(), 2);
    EXPECT_LT(ups.at(1).at(3).toFloat(), float(grid.horizontalHeader()->height() * 15));
    EXPECT_EQ(grid.SelStartCol(), 3);
}

TEST_F(GridTest, ColumnWidthsAreTwipsAndSurviveHiding)
{
    open(10);
    grid.Columns(0).setWidth(1500);
    EXPECT_EQ(grid.Columns(0).Width(), 1500);
    EXPECT_EQ(grid.columnWidth(0), 100) << "15 twips a pixel at 96 dots per inch";
    grid.Columns(1).setWidth(0);
    EXPECT_EQ(grid.Columns(1).Width(), 0);
    EXPECT_TRUE(grid.Columns(1).Visible());

    grid.Columns(0).setVisible(false);
    EXPECT_FALSE(grid.Columns(0).Visible());
    EXPECT_EQ(grid.Columns(0).Width(), 1500) << "a hidden column keeps its width";
    grid.Columns(0).setWidth(3000);
    grid.Columns(0).setVisible(true);
    EXPECT_EQ(grid.Columns(0).Width(), 3000);
    EXPECT_EQ(grid.columnWidth(0), 200);

    EXPECT_EQ(errorNumber([&] { grid.Columns(0).setWidth(-15); }), Error::InvalidPropertyValue);
    EXPECT_EQ(grid.Columns(0).Width(), 3000);
    for (int bad : {-1, 5, 100}) {
        EXPECT_EQ(errorNumber([&] { grid.Columns(bad); }), Error::InvalidColumnIndex) << bad;
        EXPECT_EQ(errorNumber([&] { grid.setCol(bad); }), Error::InvalidColumnIndex) << bad;
        EXPECT_EQ(errorNumber([&] { grid.setLeftCol(bad); }), Error::InvalidColumnIndex) << bad;
    }
    EXPECT_EQ(grid.Col(), 0);
}

TEST_F(GridTest, LeftColScrollsAndVisibleColsCountsWhatIsInView)
{
    open(10);
    for (int c = 0; c < 5; ++c)
        grid.Columns(c).setWidth(150 * 15);
    // Independent count: columns whose rectangle meets the viewport.
    auto inView = [&] {
        int n = 0;
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (grid.isColumnHidden(c))
                continue;
            const int x = grid.columnViewportPosition(c);
            n += (x < grid.viewport()->width() && x + grid.columnWidth(c) > 0) ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(grid.LeftCol(), 0);
    EXPECT_EQ(grid.VisibleCols(), inView());
    EXPECT_EQ(grid.VisibleCols(), 3) << "a viewport under 400 pixels shows parts of three 150-pixel columns";

    grid.setLeftCol(1);
    EXPECT_EQ(grid.LeftCol(), 1);
    EXPECT_EQ(grid.columnViewportPosition(1), 0);
    EXPECT_EQ(grid.VisibleCols(), inView());
    // The record set moving the grid (a search, a sort) keeps the columns in view.
    ASSERT_TRUE(rs()->Find(QStringLiteral("id = 9")));
    rs()->setSort(QStringLiteral("[name]"));
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(grid.LeftCol(), 1);

    // Even the last column can be brought to the left edge, with room to spare after it.
    grid.setLeftCol(4);
    EXPECT_EQ(grid.LeftCol(), 4);
    EXPECT_EQ(grid.columnViewportPosition(4), 0);
    EXPECT_EQ(grid.VisibleCols(), 1);

    // A hidden column scrolls to the next visible one.
    grid.setLeftCol(0);
    grid.Columns(1).setVisible(false);
    grid.setLeftCol(1);
    EXPECT_EQ(grid.LeftCol(), 2);
    EXPECT_EQ(grid.VisibleCols(), inView());
}

TEST_F(GridTest, LayoutSurvivesSortAndFilterButNotRebinding)
{
    open(40);
    grid.Columns(0).setWidth(3000);
    grid.Columns(2).setVisible(false);
    clickHeader(1);
    clickHeader(3, Qt::ShiftModifier);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    clickHeader(1);
    ASSERT_EQ(grid.SelStartCol(), 1);

    rs()->setSort(QStringLiteral("[name]"));
    EXPECT_EQ(grid.Columns(0).Width(), 3000);
    EXPECT_FALSE(grid.Columns(2).Visible());
    EXPECT_EQ(grid.SelStartCol(), 1);
    EXPECT_EQ(grid.Row(), 0) << "sorting moves to the first record";
    EXPECT_EQ(grid.Columns(1).Text(), QStringLiteral("N0000000"));
    EXPECT_EQ(grid.Col(), 0) << "a header click selects a column without moving the current cell";

    rs()->setFilter(QStringLiteral("city = 'City2'"));
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(grid.Columns(1).Text(), rs()->text(0, 1));
    EXPECT_EQ(grid.SelStartCol(), 1);

    // The data control fetching again keeps the layout; Sort and Filter start over with it.
    adodc.Refresh();
    EXPECT_EQ(grid.RowCount(), 40);
    EXPECT_FALSE(grid.Columns(2).Visible());

    grid.ReBind();
    EXPECT_EQ(grid.Columns(0).Width(), 15 * grid.horizontalHeader()->defaultSectionSize());
    EXPECT_TRUE(grid.Columns(2).Visible());
    EXPECT_EQ(grid.SelStartCol(), -1);
    EXPECT_EQ(grid.Row(), 0);

    // Another query with other fields takes its own columns.
    adodc.setRecordSource(QStringLiteral("SELECT city, id FROM people"));
    adodc.Refresh();
    EXPECT_EQ(grid.ColumnCount(), 2);
    EXPECT_EQ(grid.Columns(0).Caption(), QStringLiteral("city"));
    EXPECT_EQ(errorNumber([&] { grid.setCol(2); }), Error::InvalidColumnIndex);
}

// Rows that fit wholly in the viewport: what a page key moves by and what the last scroll position leaves
// in view.
int pageOf(const DataGrid &grid)
{
    return grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
}

// The id shown in window row `row` of the view's own model: what the grid paints there.
QString paintedId(const DataGrid &grid, int row)
{
    return grid.model()->index(row, 0).data().toString();
}

TEST_F(GridTest, ALargeRecordsetKeepsOnlyTheRowsInSightAndReadsOnlyTheirCells)
{
    constexpr int rows = 200000;
    open(rows);
    QCoreApplication::processEvents();
    ASSERT_EQ(grid.RowCount(), rows);
    const int page = pageOf(grid);
    ASSERT_GT(page, 3);
    // What a view keeps per row (its row header's entries) is kept for the rows in sight only.
    const auto heldRows = [&] { return grid.verticalHeader()->count(); };
    EXPECT_LE(heldRows(), page + 1);
    EXPECT_LE(heldRows(), grid.VisibleRows() + 1);
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), rows - page) << "the scroll bar counts records";
    const quint64 cellsInView = quint64(page + 1) * 5;
    const quint64 afterOpen = grid.recordsetModel()->textsMade();
    EXPECT_GT(afterOpen, 0u);
    EXPECT_LE(afterOpen, 4 * cellsInView) << "opening reads a few screens, not " << rows << " rows";

    // Ctrl+End reaches the last record and shows it wholly at the bottom edge.
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.Row(), rows - 1);
    EXPECT_EQ(rs()->AbsolutePosition(), rows);
    EXPECT_EQ(grid.FirstRow(), rows - page);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.cellRect(rows - 1, grid.Col())));
    EXPECT_EQ(grid.rowViewportPosition(0), 0) << "the rows are drawn from the top edge";
    EXPECT_EQ(paintedId(grid, page - 1), QString::number(rows));

    // A search jump shows the found row at the top, the last one as far up as the rows allow.
    const struct
    {
        int id, first;
    } jumps[] = {{100000, 99999}, {rows, rows - page}, {1, 0}};
    for (const auto &jump : jumps) {
        rs()->MoveFirst();
        ASSERT_TRUE(rs()->Find(QStringLiteral("id = %1").arg(jump.id)));
        grid.Refresh();
        QCoreApplication::processEvents();
        EXPECT_EQ(grid.Row(), jump.id - 1) << jump.id;
        EXPECT_EQ(grid.FirstRow(), jump.first) << jump.id;
        EXPECT_EQ(grid.Columns(0).Text(), QString::number(jump.id));
        EXPECT_TRUE(grid.viewport()->rect().contains(grid.cellRect(jump.id - 1, grid.Col()))) << jump.id;
        EXPECT_EQ(paintedId(grid, 0), QString::number(jump.first + 1)) << jump.id;
    }
    EXPECT_LE(heldRows(), page + 1);
    EXPECT_LE(grid.recordsetModel()->textsMade() - afterOpen, 10 * cellsInView);
}

TEST_F(GridTest, KeysWheelAndScrollBarMoveThroughRecords)
{
    constexpr int rows = 5000;
    open(rows);
    QCoreApplication::processEvents();
    const int page = pageOf(grid);
    ASSERT_GT(page, 3);
    grid.setFocus();
    grid.setCol(2);
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row, first, col;
    } keys[] = {
        {Qt::Key_PageDown, {}, page, 1, 2}, // the row below the page, brought wholly into view
        {Qt::Key_PageDown, {}, 2 * page, page + 1, 2},
        {Qt::Key_PageUp, {}, page, page, 2},
        {Qt::Key_Down, {}, page + 1, page, 2},
        {Qt::Key_End, Qt::ControlModifier, rows - 1, rows - page, 4},
        {Qt::Key_PageDown, {}, rows - 1, rows - page, 4},
        {Qt::Key_Up, {}, rows - 2, rows - page, 4},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0, 0},
    };
    for (const auto &k : keys) {
        QTest::keyClick(&grid, k.key, k.modifiers);
        EXPECT_EQ(grid.Row(), k.row) << "key " << k.key;
        EXPECT_EQ(grid.FirstRow(), k.first) << "key " << k.key;
        EXPECT_EQ(grid.Col(), k.col) << "key " << k.key;
        EXPECT_EQ(rs()->AbsolutePosition(), k.row + 1) << "key " << k.key;
        EXPECT_EQ(paintedId(grid, k.row - k.first), QString::number(k.row + 1)) << "key " << k.key;
    }

    // The wheel scrolls by the system's lines a notch and leaves the current row where it is, out of sight.
    const auto wheel = [&](int notches) {
        const QPoint at = grid.viewport()->rect().center();
        QWheelEvent event(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &event);
    };
    const int lines = QApplication::wheelScrollLines();
    wheel(1);
    EXPECT_EQ(grid.FirstRow(), lines);
    wheel(2);
    EXPECT_EQ(grid.FirstRow(), 3 * lines);
    EXPECT_EQ(paintedId(grid, 0), QString::number(3 * lines + 1));
    ASSERT_GE(3 * lines, page + 1) << "the current row is out of sight now";
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Text(), QStringLiteral("1"));
    EXPECT_FALSE(grid.currentIndex().isValid());
    EXPECT_TRUE(grid.cellRect(0, 0).isEmpty());
    // A click on a row in sight makes that record current.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(3 * lines + 2, 1));
    EXPECT_EQ(grid.Row(), 3 * lines + 2);
    EXPECT_EQ(grid.Text(), rs()->text(3 * lines + 2, 1));
    EXPECT_EQ(rs()->AbsolutePosition(), 3 * lines + 3);

    // Dragging the scroll bar's slider to the bottom shows the last records; the next key brings the
    // current row back into sight.
    QScrollBar *bar = grid.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QPoint handle =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, handle);
    for (const int y : {bar->height() / 2, bar->height() + 40}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(handle.x(), y), bar->mapToGlobal(QPointF(handle.x(), y)),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        if (y < bar->height()) {
            EXPECT_GT(grid.FirstRow(), rows / 4) << "the rows follow the slider while it is dragged";
            EXPECT_LT(grid.FirstRow(), rows * 3 / 4);
        }
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(handle.x(), bar->height() + 40));
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.FirstRow(), rows - page);
    EXPECT_EQ(paintedId(grid, page - 1), QString::number(rows));
    EXPECT_EQ(grid.cellRect(rows - page, 0).top(), 0) << "the rows are drawn from the top edge";

    // A taller grid holds more rows and still ends on the last record at its bottom edge.
    grid.resize(grid.width(), grid.height() + 200);
    QCoreApplication::processEvents();
    const int taller = pageOf(grid);
    ASSERT_GT(taller, page);
    EXPECT_LE(grid.verticalHeader()->count(), taller + 1);
    EXPECT_EQ(grid.FirstRow(), rows - taller);
    EXPECT_EQ(paintedId(grid, taller - 1), QString::number(rows));
    EXPECT_EQ(grid.cellRect(rows - taller, 0).top(), 0);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 3 * lines + 3);
    EXPECT_EQ(grid.FirstRow(), 3 * lines + 3);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.cellRect(grid.Row(), 1)));
    EXPECT_EQ(grid.cellRect(grid.Row(), 1).top(), 0);
}

} // namespace
