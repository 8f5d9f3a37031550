// The lookup window driven as a clerk drives it: real keys and clicks inside its modal loop, over an
// SQLite file and over PostgreSQL through an ODBC file data source.
#include "data/TestDatabase.h"
#include "support/RecordingMessageComponent.h"

#include "data/Adodc.h"
#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "frame/ClassTable.h"
#include "frame/modGeneral.h"
#include "helplist/DataGrid.h"
#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"
#include "platform/Screen.h"
#include "platform/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <thread>

using vq::DataGrid;
using vq::Recordset;
using Script = std::function<void(frmVqHelpList *)>;

namespace {

template<typename T = QWidget>
T *child(frmVqHelpList *w, const char *name)
{
    T *found = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Runs `act` from the event loop once `ready` holds, polling; for code that must run inside a modal loop.
void once(std::function<bool()> ready, std::function<void()> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
        if (!ready())
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(5);
}

// Opens the lookup and runs the script inside it once it is shown (fetching lets pending events run
// before the show); a window the script leaves open is closed, so a failed check cannot hang the test.
void lookUp(VqHelpList &helpList, QObject *connection, const QString &query, Script script)
{
    once([] { return frmVqHelpList::instance()->isVisible(); },
        [script] {
            frmVqHelpList *w = frmVqHelpList::instance();
            EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            script(w);
            if (w->isOpen())
                w->Unload();
        });
    helpList.DisplayHelpList(connection, query);
}

// Once the Action menu pops up, clicks its item.
void chooseWhenMenuOpens(const char *item)
{
    once([] { return QApplication::activePopupWidget() != nullptr; },
        [name = QString::fromLatin1(item)] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QAction *action = menu->findChild<QAction *>(name);
            ASSERT_NE(action, nullptr) << name.toStdString();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        });
}

void click(QWidget *control)
{
    QTest::mouseClick(control->findChild<QPushButton *>(), Qt::LeftButton);
}

void clickHeader(DataGrid *grid, int column, Qt::KeyboardModifiers modifiers = {})
{
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers,
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 5));
}

// The right button released over the grid's cells opens the menu.
void chooseFromMenu(DataGrid *grid, const char *item)
{
    chooseWhenMenuOpens(item);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == grid->window(); }, 5000));
}

// Filter on a column's header, the text typed over the panel's last one; ENTER moves on and applies it.
void filterBy(frmVqHelpList *w, int column, const QString &text)
{
    clickHeader(w->DataGrid1(), column);
    chooseFromMenu(w->DataGrid1(), "mnuFilter");
    auto *txtFilter = child<QLineEdit>(w, "txtFilter");
    ASSERT_TRUE(QTest::qWaitFor([&] { return txtFilter->hasFocus(); }, 5000));
    txtFilter->selectAll();
    QTest::keyClick(txtFilter, Qt::Key_Delete);
    QTest::keyClicks(txtFilter, text);
    QTest::keyClick(txtFilter, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !txtFilter->hasFocus(); }, 5000));
}

QString fetched(frmVqHelpList *w)
{
    return child<QLabel>(w, "lblFetched")->text();
}

QString currentName(frmVqHelpList *w)
{
    Recordset *rs = w->Adodc1()->Recordset();
    return rs->isBOF() || rs->isEOF() ? QStringLiteral("<none>")
                                      : rs->Fields().Item(QStringLiteral("name")).Value().toString();
}

QStringList values(const VqHelpList &h)
{
    return {h.Value().toString(), h.Value2().toString(), h.Value3().toString(), h.Value4().toString(),
        h.Value5().toString()};
}

class HelpListWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Names sort as listed; qty and city do not.
        testdb::makeSqlite(db,
            {QStringLiteral("CREATE TABLE customers (name varchar(40), qty integer, city varchar(20), "
                            "remark varchar(60), code varchar(4), amount money, note text, seen timestamp)"),
                QStringLiteral(
                    "INSERT INTO customers (name, qty, city, remark) VALUES ('Adams', 120, 'Dover', "
                    "'first'), ('Baker', 5, 'Austin', 'second'), ('Bakersfield', 12, 'Chester', "
                    "'third'), ('Carter', 0, 'Bristol', 'fourth'), ('Davis', 7, 'Denton', 'fifth')"),
                QStringLiteral("UPDATE customers SET code = 'C', amount = 1.5, note = 'n', seen = "
                               "'2020-01-02 10:30:00'")});
        connection.setProperty("ConnectionString", testdb::nativeString(db));
        vq::modGeneral::ClearPickedValues();
    }

    void look(const QString &query, Script script)
    {
        lookUp(helpList, &connection, query, std::move(script));
    }

    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("customers.db"));
    QObject connection; // any object with a ConnectionString serves
    VqHelpList helpList;
    // Warnings are recorded, never shown: a message box would wait for a user.
    vq::test::Recorder warnings;
    vq::test::RecordingFactory factory {warnings};
    vq::test::ProcessRegistration registration {&factory};
};

} // namespace

TEST(HelpListControl, APictureAtDesignTimeNothingAtRunTimeAndValuesPerThread)
{
    VqHelpList designed;
    designed.setAmbientProperties({false, QApplication::font()});
    designed.show();
    EXPECT_TRUE(designed.isVisible());
    EXPECT_EQ(designed.findChild<QLabel *>(QStringLiteral("imgHelp"))->pixmap().size(), QSize(16, 16));
    std::unique_ptr<QObject> running(vq::ClassTable::create(QStringLiteral("VqHelpList")));
    static_cast<QWidget *>(running.get())->show();
    EXPECT_FALSE(static_cast<QWidget *>(running.get())->isVisible());

    vq::modGeneral::SetPickedValue(1, QStringLiteral("here"));
    QVariant elsewhere;
    std::thread([&] { elsewhere = designed.Value(); }).join();
    EXPECT_EQ(elsewhere, QVariant(QString())); // a string, empty before the thread's first lookup
    EXPECT_EQ(running->property("Value"), QVariant(QStringLiteral("here")));
}

TEST_F(HelpListWindow, HasItsDesignLayoutMenuAndTabCycle)
{
    look(QStringLiteral("customers"), [](frmVqHelpList *w) {
        EXPECT_EQ(w->windowTitle(), "Help");
        EXPECT_TRUE(w->isModal() && !w->parentWidget());
        EXPECT_EQ(w->font().family(), "Verdana");
        EXPECT_EQ(vq::twips::fromPixelsX(w->width(), w), 7005);
        // At 15 twips a pixel the design positions come back exactly.
        const std::pair<const char *, QRect> widgets[] = {{"txtItem", {0, 45, 6990, 315}},
            {"DataGrid1", {0, 435, 6990, 5355}}, {"VqOKButton1", {2325, 5865, 1125, 495}},
            {"VqCancelButton1", {3555, 5865, 1125, 495}}, {"lblFetched", {30, 5820, 825, 195}},
            {"picFilter", {1200, 1395, 4920, 1725}}, {"txtFilter", {135, 780, 4560, 315}}};
        for (const auto &[name, twips] : widgets)
            EXPECT_EQ(vq::twips::geometry(child(w, name)), twips) << name;
        EXPECT_EQ(child(w, "txtFilter")->parentWidget(), child(w, "picFilter"));
        EXPECT_EQ(fetched(w), "5 Fetched");
        QStringList captions;
        for (QAction *a : w->mnuPopup()->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(captions,
            QStringList({"&Hide Columns", "&Show All Columns", "&Order", "-", "&Filter", "&Remove Filter"}));

        // Tab goes round the search field, the grid and the two buttons; the hidden panel is skipped.
        EXPECT_TRUE(child(w, "txtItem")->hasFocus());
        for (const char *next : {"DataGrid1", "VqOKButton1", "VqCancelButton1", "txtItem"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *control = child(w, next);
            EXPECT_TRUE(
                control == QApplication::focusWidget() || control->isAncestorOf(QApplication::focusWidget()))
                << next;
        }
    });
}

TEST_F(HelpListWindow, TypingSearchesTheSortColumnFromTheTopOnEveryChange)
{
    look(QStringLiteral("SELECT name, qty, city FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        const std::pair<const char *, const char *> steps[] = {
            // keys typed ('<' is BACKSPACE), the row that is current then
            {"b", "Baker"}, {"akers", "Bakersfield"}, {"z", "<none>"}, {"<", "Bakersfield"},
            {"<<<<<", "Baker"}, {"<", "Adams"}, {"  d", "Davis"},
            {"o'b", "Adams"}, // the apostrophe breaks the criterion: the first row stays
        };
        for (const auto &[keys, current] : steps) {
            for (const char *k = keys; *k; ++k) {
                if (*k == '<')
                    QTest::keyClick(txtItem, Qt::Key_Backspace);
                else
                    QTest::keyClick(txtItem, *k);
            }
            EXPECT_EQ(currentName(w), QString::fromLatin1(current)) << txtItem->text().toStdString();
            EXPECT_EQ(w->DataGrid1()->Row() == -1, QByteArray(current) == "<none>") << keys;
        }
    });
    look(QStringLiteral("SELECT qty, name FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        QTest::keyClicks(txtItem, QStringLiteral("12abc"));
        EXPECT_EQ(currentName(w), "Bakersfield"); // 12, not 120
        txtItem->setText(QString()); // set by code while the field has the focus: searched too
        EXPECT_EQ(currentName(w), "Carter"); // an empty text searches for 0
    });
}

TEST_F(HelpListWindow, EnterTwicePicksTheRowAndMovingInTheGridMirrorsTheCell)
{
    look(QStringLiteral("SELECT name, qty, city FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        DataGrid *grid = w->DataGrid1();
        QTest::keyClicks(txtItem, QStringLiteral("bak"));
        QTest::keyClick(txtItem, Qt::Key_Return); // into the grid, no pick
        EXPECT_TRUE(grid->hasFocus());
        // Entering the grid marks the current row, which puts its text into the search field.
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtItem->text() == "Baker"; }, 5000));
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(txtItem->text(), "Carter");
        EXPECT_EQ(grid->Row(), 3); // the mirrored text did not search
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_TRUE(w->isOpen());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(w->isOpen());
    });
    // Three columns: the last one fills the values beyond it.
    EXPECT_EQ(values(helpList), QStringList({"Bakersfield", "12", "Chester", "Chester", "Chester"}));
}

TEST_F(HelpListWindow, ClosingWithoutAPickEmptiesOnlyValueForEveryHelpListOfTheThread)
{
    frmVqHelpList *first = nullptr;
    look(QStringLiteral("customers"), [&](frmVqHelpList *w) {
        first = w;
        QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("dav"));
        click(child(w, "VqOKButton1"));
    });
    VqHelpList other;
    EXPECT_EQ(values(other), QStringList({"Davis", "7", "Denton", "fifth", "C"}));
    const Script closings[] = {
        [](frmVqHelpList *w) { click(child(w, "VqCancelButton1")); },
        [](frmVqHelpList *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
        [](frmVqHelpList *w) { w->close(); },
    };
    for (const Script &close : closings) {
        lookUp(other, &connection, QStringLiteral("customers"), [&](frmVqHelpList *w) {
            QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("a"));
            EXPECT_EQ(w, first); // one window for the thread, reused
            close(w);
            EXPECT_FALSE(w->isOpen());
        });
        EXPECT_EQ(values(helpList), QStringList({"", "7", "Denton", "fifth", "C"}));
    }
}

TEST_F(HelpListWindow, AnEmptyOrFailedFetchStillOpensTheWindowAndPicksNothing)
{
    QObject none;
    QObject missing;
    missing.setProperty("ConnectionString", testdb::nativeString(dir.filePath(QStringLiteral("missing.db"))));
    const std::tuple<const char *, QObject *, const char *> cases[] = {
        {"no rows", &connection, "SELECT * FROM customers WHERE qty < 0"},
        {"a failing query", &connection, "SELECT * FROM nowhere"},
        {"no ConnectionString", &none, "customers"},
        {"a bad connection string", &missing, "customers"},
    };
    vq::modGeneral::SetPickedValue(2, QStringLiteral("kept"));
    for (const auto &[why, from, query] : cases) {
        vq::Screen::setMousePointer(vq::Screen::Default);
        bool shown = false;
        lookUp(helpList, from, QString::fromLatin1(query), [&, why = why](frmVqHelpList *w) {
            shown = true;
            EXPECT_EQ(fetched(w), "0 Fetched") << why;
            QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("a"));
            QTest::keyClick(child<QLineEdit>(w, "txtItem"), Qt::Key_Return);
            click(child(w, "VqOKButton1"));
            EXPECT_FALSE(w->isOpen()) << why;
        });
        EXPECT_TRUE(shown) << why;
        EXPECT_EQ(values(helpList).mid(0, 2), QStringList({"", "kept"})) << why;
        EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow) << why;
    }
}

TEST_F(HelpListWindow, ColumnsAreSizedByFieldType)
{
    look(QStringLiteral("SELECT code, amount, remark, note, qty, seen FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        const int text = vq::twips::fromPixelsX(grid->horizontalHeader()->defaultSectionSize(), grid);
        // varchar(4) never below ten characters, money, varchar(60), a text too wide to size keeps its
        // width, integer, timestamp by its defined size; in twips as they come out in whole pixels.
        const int expected[] = {1000, 1500, 6000, text, 1500, 1600};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(grid->columnWidth(i), vq::twips::toPixelsX(expected[i], grid)) << i;
        EXPECT_EQ(w->Adodc1()->Recordset()->Sort(), "code"); // the first sort names the field bare
    });
}

TEST_F(HelpListWindow, FiltersAccumulateAndEscapeClosesThePanelBeforeTheWindow)
{
    look(QStringLiteral("SELECT name, qty, city, seen FROM customers"), [this](frmVqHelpList *w) {
        Recordset *rs = w->Adodc1()->Recordset();
        auto *picFilter = child(w, "picFilter");
        auto *txtFilter = child<QLineEdit>(w, "txtFilter");
        filterBy(w, 0, QStringLiteral("ba"));
        EXPECT_EQ(rs->Filter(), "[name] like 'ba%'");
        EXPECT_EQ(fetched(w), "2 Fetched");
        EXPECT_FALSE(picFilter->isVisible());
        EXPECT_TRUE(child(w, "txtItem")->hasFocus());

        // The panel keeps the last text; an apostrophe cannot be typed into it.
        clickHeader(w->DataGrid1(), 1);
        chooseFromMenu(w->DataGrid1(), "mnuFilter");
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtFilter->hasFocus(); }, 5000));
        EXPECT_EQ(txtFilter->text(), "ba");
        EXPECT_EQ(child<QLabel>(w, "lblFilter")->text(), "qty");
        txtFilter->selectAll();
        QTest::keyClicks(txtFilter, QStringLiteral("'5'"));
        EXPECT_EQ(txtFilter->text(), "5");
        QTest::keyClick(txtFilter, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !picFilter->isVisible(); }, 5000));
        const QString both = QStringLiteral("[name] like 'ba%' and [qty] = 5");
        EXPECT_EQ(w->FilterText(), both);
        EXPECT_EQ(fetched(w), "1 Fetched");

        // An empty text on a text column moves to the first row and changes no filter.
        filterBy(w, 2, QString());
        EXPECT_EQ(w->FilterText(), both);
        EXPECT_FALSE(picFilter->isVisible());
        // A condition the record set refuses is dropped silently; the panel stays for a correction.
        filterBy(w, 3, QStringLiteral("abc"));
        EXPECT_TRUE(picFilter->isVisible());
        EXPECT_EQ(rs->Filter(), both);
        EXPECT_EQ(warnings.calls.size(), 0);
        // While the panel shows, Tab from Cancel passes through the panel into txtFilter.
        child(w, "VqCancelButton1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtFilter->hasFocus(); }, 5000));

        // Escape hides the panel without applying it; a second Escape closes the window.
        QTest::keyClick(txtFilter, Qt::Key_Escape);
        EXPECT_FALSE(picFilter->isVisible());
        EXPECT_EQ(w->FilterText(), both);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(w->isOpen());
    });
    EXPECT_EQ(helpList.Value().toString(), "");

    // The next opening starts unfiltered; an empty text on a number column filters for 0, and other
    // failures are shown while the filter goes on.
    look(QStringLiteral("SELECT name, qty FROM customers"), [this](frmVqHelpList *w) {
        EXPECT_EQ(w->FilterText(), "");
        EXPECT_EQ(child<QLineEdit>(w, "txtFilter")->text(), "");
        filterBy(w, 1, QString());
        EXPECT_EQ(w->FilterText(), "[qty] = 0");
        EXPECT_EQ(fetched(w), "1 Fetched");
        filterBy(w, 1, QStringLiteral("1e999"));
        ASSERT_EQ(warnings.calls.size(), 1);
        EXPECT_EQ(warnings.calls[0].text, "Overflow");
    });
}

TEST_F(HelpListWindow, HideColumnsKeepsOneVisibleAndShowAllBringsThemBack)
{
    // Columns narrow enough to be all in view.
    look(QStringLiteral("SELECT code, qty, city, amount FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        const auto visible = [grid] {
            QList<bool> v;
            for (int i = 0; i < grid->ColumnCount(); ++i)
                v << grid->Columns(i).Visible();
            return v;
        };
        const struct
        {
            int first, last;
            QList<bool> after;
        } steps[] = {
            {1, 2, {true, false, false, true}},
            {0, 3, {true, false, false, false}}, // hiding every visible column leaves the first
            {0, 0, {true, false, false, false}}, // the last visible column cannot be hidden
        };
        for (const auto &s : steps) {
            clickHeader(grid, s.first);
            clickHeader(grid, s.last, Qt::ShiftModifier);
            chooseFromMenu(grid, "mnuHide");
            EXPECT_EQ(visible(), s.after) << s.first << ".." << s.last;
        }
        chooseFromMenu(grid, "mnuShowAll");
        EXPECT_EQ(visible(), QList<bool>({true, true, true, true}));
    });
}

TEST_F(HelpListWindow, OrderChoosesTheSearchColumnAndRemoveFilterFetchesAgainKeepingIt)
{
    // Narrow columns: all are in view, and Order still brings the chosen one to the left edge.
    look(QStringLiteral("SELECT name, qty, city FROM customers"), [this](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        clickHeader(grid, 2);
        chooseFromMenu(grid, "mnuOrder");
        EXPECT_EQ(w->SortField(), 2);
        EXPECT_EQ(grid->LeftCol(), 2);
        EXPECT_EQ(w->Adodc1()->Recordset()->Sort(), "[city]");
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        txtItem->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtItem->hasFocus(); }, 5000));
        txtItem->selectAll(); // over the text the grid mirrored into it
        QTest::keyClicks(txtItem, QStringLiteral("d"));
        EXPECT_EQ(currentName(w), "Davis"); // Denton comes before Dover
        EXPECT_EQ(grid->Row(), 3);

        filterBy(w, 0, QStringLiteral("b"));
        EXPECT_EQ(fetched(w), "2 Fetched");
        // A row added meanwhile shows only when the rows are fetched again.
        testdb::makeSqlite(
            db, {QStringLiteral("INSERT INTO customers (name, city) VALUES ('Evans', 'Aachen')")});
        chooseFromMenu(grid, "mnuRemFilter");
        EXPECT_EQ(fetched(w), "6 Fetched");
        EXPECT_EQ(w->FilterText(), "");
        EXPECT_EQ(w->Adodc1()->Recordset()->Sort(), "[city]");
        w->Adodc1()->Recordset()->MoveFirst();
        EXPECT_EQ(currentName(w), "Evans");
    });
}

TEST_F(HelpListWindow, ASearchReachesTheLastOfManyRowsAndThePageKeysPickFromThere)
{
    testdb::makeSqlite(db,
        {QStringLiteral("CREATE TABLE many (name varchar(20), n integer)"),
            QStringLiteral("INSERT INTO many WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k "
                           "WHERE i < 3000) SELECT printf('item%04d', i), i FROM k")});
    int page = 0;
    look(QStringLiteral("SELECT name, n FROM many"), [&](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        page = grid->viewport()->height() / grid->verticalHeader()->defaultSectionSize();
        ASSERT_GT(page, 2);
        QTest::keyClicks(txtItem, QStringLiteral("item3000"));
        EXPECT_EQ(grid->Row(), 2999);
        EXPECT_EQ(grid->FirstRow(), 3000 - page) << "the last row stands at the bottom edge";
        EXPECT_TRUE(grid->viewport()->rect().contains(grid->cellRect(2999, 0)));
        EXPECT_LE(grid->verticalHeader()->count(), page + 1) << "the view holds the rows in sight only";
        QTest::keyClick(txtItem, Qt::Key_Return); // into the grid
        ASSERT_TRUE(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(txtItem->text(), "item0001");
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_PageUp);
        EXPECT_EQ(grid->Row(), 2999 - page);
        QTest::keyClick(grid, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(w->isOpen());
    });
    EXPECT_EQ(
        helpList.Value().toString(), QStringLiteral("item%1").arg(3000 - page, 4, 10, QLatin1Char('0')));
}

TEST_F(HelpListWindow, EveryCommandIsWithinReachOfTheKeyboard)
{
    look(QStringLiteral("SELECT name, qty, city, remark FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        QTest::keyClick(child(w, "txtItem"), Qt::Key_Down);
        ASSERT_TRUE(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);
        EXPECT_EQ(grid->SelStartCol(), 2);
        chooseWhenMenuOpens("mnuOrder");
        QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_EQ(w->SortField(), 2);
        QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);
        chooseWhenMenuOpens("mnuFilter");
        QTest::keyClick(grid, Qt::Key_Menu);
        auto *txtFilter = child<QLineEdit>(w, "txtFilter");
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtFilter->hasFocus(); }, 5000));
        QTest::keyClicks(txtFilter, QStringLiteral("d"));
        QTest::keyClick(txtFilter, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->FilterText() == "[city] like 'd%'"; }, 5000));
        EXPECT_EQ(fetched(w), "2 Fetched");
    });
}

namespace {

class HelpListOverPostgres : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testdb::havePostgres())
            GTEST_SKIP() << "no test server: run through ./vq test (tests/support/with-postgres.sh)";
        admin.Open(testdb::postgresDriverString());
        admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
        admin.Execute(
            QStringLiteral("CREATE TABLE %1 AS SELECT g AS id, 'customer ' || lpad(g::text, 5, '0') "
                           "AS name, (g % 97)::numeric(10,2) AS amount FROM generate_series(1, 3000) g")
                .arg(table));
        // Through a server cursor, 100 rows at a time, so that the server is needed to the last row.
        const QString dsn = testdb::writeFileDsn(dir.filePath(QStringLiteral("pg.dsn")),
            {QStringLiteral("Driver=") + qEnvironmentVariable("VQ_PG_DRIVER"),
                testdb::postgresKeywords().replace(QLatin1Char(';'), QLatin1Char('\n')),
                QStringLiteral("UseDeclareFetch=1"), QStringLiteral("Fetch=100")});
        host.setConnectionString(QStringLiteral("FileDSN=") + dsn);
        vq::modGeneral::ClearPickedValues();
    }

    void TearDown() override
    {
        if (admin.State() == vq::Connection::adStateOpen)
            admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
    }

    QTemporaryDir dir;
    QString table = testdb::uniqueName("vq_lookup");
    vq::Connection admin;
    vq::Connection host; // the caller's connection, never opened: only its string is read
    VqHelpList helpList;
};

} // namespace

TEST_F(HelpListOverPostgres, LooksUpThroughAFileDsn)
{
    lookUp(
        helpList, &host, QStringLiteral("SELECT name, id, amount FROM %1").arg(table), [](frmVqHelpList *w) {
            EXPECT_EQ(fetched(w), "3000 Fetched");
            auto *txtItem = child<QLineEdit>(w, "txtItem");
            QTest::keyClicks(txtItem, QStringLiteral("CUSTOMER 0250"));
            QTest::keyClick(txtItem, Qt::Key_Return);
            QTest::keyClick(w->DataGrid1(), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
    EXPECT_EQ(values(helpList).mid(0, 3), QStringList({"customer 02500", "2500", "75"}));
    EXPECT_EQ(host.State(), vq::Connection::adStateClosed);
}

TEST_F(HelpListOverPostgres, AServerGoneDuringTheFetchStillOpensTheWindowWithWhatItHolds)
{
    // The server ends the lookup's own session half-way through the rows (read in table order).
    const QString query = QStringLiteral("SELECT name, id, CASE WHEN id = 1500 THEN "
                                         "pg_terminate_backend(pg_backend_pid()) END AS gone FROM %1")
                              .arg(table);
    bool shown = false;
    lookUp(helpList, &host, query, [&](frmVqHelpList *w) {
        shown = true;
        EXPECT_LT(w->Adodc1()->Recordset()->rowCount(), 3000);
        QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("c"));
        click(child(w, "VqOKButton1"));
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow);
}
