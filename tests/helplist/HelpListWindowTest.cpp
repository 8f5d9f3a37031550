#include "LookupFixture.h"
#include "data/TestDatabase.h"
#include "support/RecordingMessageComponent.h"

#include "data/Adodc.h"
#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "frame/ClassTable.h"
#include "frame/modGeneral.h"
#include "helplist/DataGrid.h"
#include "platform/Screen.h"
#include "platform/Twips.h"

#include <QHeaderView>
#include <QLabel>

#include <thread>

using namespace lookup;
using vq::DataGrid;
using vq::Recordset;

namespace {

// name, qty, city, remark: the names sort as listed; qty and city do not.
const char *const Customers[][4] = {
    {"Adams", "120", "Dover", "first"},
    {"Baker", "5", "Austin", "second"},
    {"Bakersfield", "12", "Chester", "third"},
    {"Carter", "0", "Bristol", "fourth"},
    {"Davis", "7", "Denton", "fifth"},
};
constexpr int CustomerCount = 5;

class HelpListWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = dir.filePath(QStringLiteral("customers.db"));
        QStringList statements {
            QStringLiteral("CREATE TABLE customers (name varchar(40), qty integer, city varchar(20), "
                           "remark varchar(60), code varchar(4), amount money, note text, seen timestamp)")};
        for (const auto &c : Customers)
            statements << QStringLiteral("INSERT INTO customers VALUES ('%1', %2, '%3', '%4', 'C', 1.5, 'n', "
                                         "'2020-01-02 10:30:00')")
                              .arg(QLatin1String(c[0]), QLatin1String(c[1]), QLatin1String(c[2]),
                                  QLatin1String(c[3]));
        testdb::makeSqlite(db, statements);
        connection = connectionObject(testdb::nativeString(db));
        vq::modGeneral::ClearPickedValues();
    }

    void look(const QString &query, std::function<void(frmVqHelpList *)> script)
    {
        lookUp(helpList, connection.get(), query, std::move(script));
    }

    static QString currentName(frmVqHelpList *w)
    {
        Recordset *rs = w->Adodc1()->Recordset();
        if (rs->isBOF() || rs->isEOF())
            return QStringLiteral("<none>");
        return rs->Fields().Item(QStringLiteral("name")).Value().toString();
    }

    static void clickHeader(DataGrid *grid, int column, Qt::KeyboardModifiers modifiers = {})
    {
        QHeaderView *header = grid->horizontalHeader();
        const QPoint at(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
    }

    // The Action menu as a user opens it: the right button released over the grid's cells.
    static void chooseFromMenu(DataGrid *grid, const char *item)
    {
        chooseWhenMenuOpens(item);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == grid->window(); }, 5000));
    }

    // Opens the filter panel on a column and types the text; ENTER applies it.
    static void filterBy(frmVqHelpList *w, int column, const QString &text)
    {
        clickHeader(w->DataGrid1(), column);
        chooseFromMenu(w->DataGrid1(), "mnuFilter");
        auto *txtFilter = child<QLineEdit>(w, "txtFilter");
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtFilter->hasFocus(); }, 5000));
        txtFilter->selectAll();
        QTest::keyClick(txtFilter, Qt::Key_Delete);
        QTest::keyClicks(txtFilter, text);
        QTest::keyClick(txtFilter, Qt::Key_Return);
        // ENTER moves the focus on, which applies the filter.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !txtFilter->hasFocus(); }, 5000));
    }

    static QString fetched(frmVqHelpList *w) { return child<QLabel>(w, "lblFetched")->text(); }

    QTemporaryDir dir;
    QString db;
    std::unique_ptr<QObject> connection;
    VqHelpList helpList;
    // Warnings are recorded, never shown: a message box would wait for a user.
    vq::test::Recorder warnings;
    vq::test::RecordingFactory factory {warnings};
    vq::test::ProcessRegistration registration {&factory};
};

} // namespace

TEST(HelpListControl, ShowsItsPictureOnlyWhileTheFormIsDesigned)
{
    VqHelpList designed;
    vq::AmbientProperties design;
    design.UserMode = false;
    designed.setAmbientProperties(design);
    designed.show();
    EXPECT_TRUE(designed.isVisible());
    EXPECT_EQ(designed.widthTwips(), 240);
    EXPECT_EQ(designed.heightTwips(), 270);
    auto *imgHelp = designed.findChild<QLabel *>(QStringLiteral("imgHelp"));
    ASSERT_NE(imgHelp, nullptr);
    EXPECT_EQ(imgHelp->pixmap().size(), QSize(16, 16));

    std::unique_ptr<QObject> running(vq::ClassTable::create(QStringLiteral("VqHelpList")));
    auto *control = qobject_cast<VqHelpList *>(running.get());
    ASSERT_NE(control, nullptr);
    control->show();
    EXPECT_FALSE(control->isVisible());
}

TEST(HelpListControl, PickedValuesBelongToTheThreadAndStartEmpty)
{
    VqHelpList helpList;
    vq::modGeneral::SetPickedValue(1, QStringLiteral("here"));
    QVariant elsewhere;
    std::thread([&] { elsewhere = helpList.Value(); }).join();
    EXPECT_EQ(elsewhere.typeId(), QMetaType::QString);
    EXPECT_EQ(elsewhere.toString(), "");
    EXPECT_EQ(helpList.property("Value").toString(), "here");
    vq::modGeneral::ClearPickedValues();
    EXPECT_EQ(helpList.property("Value5").typeId(), QMetaType::QString);
}

TEST_F(HelpListWindow, HasItsDesignLayoutAndTabCycle)
{
    look(QStringLiteral("customers"), [](frmVqHelpList *w) {
        EXPECT_EQ(w->windowTitle(), "Help");
        EXPECT_EQ(w->parentWidget(), nullptr);
        EXPECT_TRUE(w->isModal());
        EXPECT_EQ(w->font().family(), "Verdana");
        EXPECT_EQ(vq::twips::fromPixelsX(w->width(), w), 7005);
        EXPECT_EQ(vq::twips::fromPixelsY(w->height(), w), 6405);
        const struct
        {
            const char *name;
            QRect twips;
        } widgets[] = {
            {"txtItem", {0, 45, 6990, 315}},
            {"DataGrid1", {0, 435, 6990, 5355}},
            {"VqOKButton1", {2325, 5865, 1125, 495}},
            {"VqCancelButton1", {3555, 5865, 1125, 495}},
            {"lblFetched", {30, 5820, 825, 195}},
            {"picFilter", {1200, 1395, 4920, 1725}},
            {"txtFilter", {135, 780, 4560, 315}},
            {"lblCriteria", {0, 0, 1155, 195}},
        };
        for (const auto &widget : widgets) {
            const QWidget *found = child<QWidget>(w, widget.name);
            ASSERT_NE(found, nullptr);
            // One pixel is 15 twips here, so the design positions come back exactly.
            EXPECT_EQ(vq::twips::geometry(found), widget.twips) << widget.name;
        }
        EXPECT_EQ(child<QLabel>(w, "lblCriteria")->text(), "Enter Criteria");
        EXPECT_EQ(fetched(w), "5 Fetched");
        EXPECT_FALSE(child<QWidget>(w, "picFilter")->isVisible());
        QStringList captions;
        for (QAction *a : w->mnuPopup()->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(w->mnuPopup()->title(), "Action");
        EXPECT_EQ(captions,
            QStringList({"&Hide Columns", "&Show All Columns", "&Order", "-", "&Filter", "&Remove Filter"}));

        // Tab goes round the search field, the grid and the two buttons.
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        EXPECT_TRUE(txtItem->hasFocus());
        const QStringList cycle = {"DataGrid1", "VqOKButton1", "VqCancelButton1", "txtItem"};
        for (const QString &next : cycle) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            const bool inside = focus->objectName() == next ||
                (focus->parentWidget() && focus->parentWidget()->parentWidget() &&
                    focus->parentWidget()->parentWidget()->objectName() == next);
            EXPECT_TRUE(inside) << next.toStdString() << " expected, focus on "
                                << focus->objectName().toStdString();
        }
    });
}

TEST_F(HelpListWindow, TypingSearchesTheSortColumnFromTheTopOnEveryChange)
{
    look(QStringLiteral("SELECT name, qty, city FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        const struct
        {
            const char *keys; // typed after what is there; '<' is BACKSPACE
            const char *current;
        } steps[] = {
            {"b", "Baker"}, {"akers", "Bakersfield"}, {"z", "<none>"}, {"<", "Bakersfield"},
            {"<<<<<", "Baker"}, {"<", "Adams"}, // an empty search field goes to the first row
            {"  d", "Davis"}, // blanks around the text do not count
            {"o'b", "Adams"}, // the apostrophe breaks the criterion: first row
        };
        for (const auto &s : steps) {
            for (const char *k = s.keys; *k; ++k) {
                if (*k == '<')
                    QTest::keyClick(txtItem, Qt::Key_Backspace);
                else
                    QTest::keyClick(txtItem, *k);
            }
            EXPECT_EQ(currentName(w), QString::fromLatin1(s.current)) << txtItem->text().toStdString();
            EXPECT_EQ(w->DataGrid1()->Row() == -1, QByteArray(s.current) == "<none>") << s.keys;
        }
        // Text set by code while the search field has the focus searches too.
        txtItem->setText(QStringLiteral("CAR"));
        EXPECT_EQ(currentName(w), "Carter");
    });
}

TEST_F(HelpListWindow, ANumberColumnIsSearchedForTheLeadingNumber)
{
    look(QStringLiteral("SELECT qty, name FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        QTest::keyClicks(txtItem, QStringLiteral("12abc"));
        EXPECT_EQ(currentName(w), "Bakersfield"); // 12, not 120
        txtItem->selectAll();
        QTest::keyClick(txtItem, Qt::Key_Delete);
        EXPECT_EQ(currentName(w), "Carter"); // the empty text searches for 0
        QTest::keyClicks(txtItem, QStringLiteral("1"));
        EXPECT_EQ(w->DataGrid1()->Row(), -1);
    });
}

TEST_F(HelpListWindow, EnterTwicePicksTheRowAndMovingInTheGridMirrorsTheCell)
{
    look(QStringLiteral("SELECT name, qty, city FROM customers"), [](frmVqHelpList *w) {
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        DataGrid *grid = w->DataGrid1();
        QTest::keyClicks(txtItem, QStringLiteral("bak"));
        // ENTER (or Down) in the search field moves into the grid and does not pick.
        QTest::keyClick(txtItem, Qt::Key_Return);
        EXPECT_TRUE(grid->hasFocus());
        // Entering the grid marks the current row, which puts its text into the search field.
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtItem->text() == "Baker"; }, 5000))
            << txtItem->text().toStdString();
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(txtItem->text(), "Carter");
        EXPECT_EQ(grid->Row(), 3); // the mirrored text did not move the grid back
        QTest::keyClick(grid, Qt::Key_Up);
        EXPECT_EQ(txtItem->text(), "Bakersfield");
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_TRUE(w->isOpen());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(w->isOpen());
    });
    EXPECT_EQ(helpList.Value().toString(), "Bakersfield");
    EXPECT_EQ(helpList.Value2().toString(), "12");
    EXPECT_EQ(helpList.Value3().toString(), "Chester");
    // Three columns: the last one fills the values beyond it.
    EXPECT_EQ(helpList.Value4().toString(), "Chester");
    EXPECT_EQ(helpList.Value5().toString(), "Chester");
}

TEST_F(HelpListWindow, ClosingWithoutAPickEmptiesOnlyValueForEveryHelpListOfTheThread)
{
    VqHelpList other;
    look(QStringLiteral("customers"), [](frmVqHelpList *w) {
        QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("dav"));
        QTest::mouseClick(child<QWidget>(w, "VqOKButton1")->findChild<QPushButton *>(), Qt::LeftButton);
    });
    const QStringList picked = {"Davis", "7", "Denton", "fifth", "C"};
    const auto values = [](const VqHelpList &h) {
        return QStringList {h.Value().toString(), h.Value2().toString(), h.Value3().toString(),
            h.Value4().toString(), h.Value5().toString()};
    };
    EXPECT_EQ(values(other), picked);

    const std::function<void(frmVqHelpList *)> closings[] = {
        [](frmVqHelpList *w) {
            QTest::mouseClick(
                child<QWidget>(w, "VqCancelButton1")->findChild<QPushButton *>(), Qt::LeftButton);
        },
        [](frmVqHelpList *) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
        [](frmVqHelpList *w) { w->close(); },
    };
    QStringList afterCancel = picked;
    afterCancel[0] = QString();
    for (const auto &close : closings) {
        lookUp(other, connection.get(), QStringLiteral("customers"), [&](frmVqHelpList *w) {
            QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("a"));
            close(w);
            EXPECT_FALSE(w->isOpen());
        });
        EXPECT_EQ(values(helpList), afterCancel);
    }
}

TEST_F(HelpListWindow, AnEmptyOrFailedFetchStillOpensTheWindowAndPicksNothing)
{
    const struct
    {
        const char *why;
        QObject *connection;
        QString query;
    } cases[] = {
        {"no rows", connection.get(), QStringLiteral("SELECT * FROM customers WHERE qty < 0")},
        {"a failing query", connection.get(), QStringLiteral("SELECT * FROM nowhere")},
        {"no ConnectionString", new QObject(&helpList), QStringLiteral("customers")},
        {"a bad connection string",
            connectionObject(
                QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("missing.db")))
                .release(),
            QStringLiteral("customers")},
    };
    vq::modGeneral::SetPickedValue(2, QStringLiteral("kept"));
    for (const auto &c : cases) {
        vq::Screen::setMousePointer(vq::Screen::Default);
        bool shown = false;
        lookUp(helpList, c.connection, c.query, [&](frmVqHelpList *w) {
            shown = true;
            EXPECT_EQ(fetched(w), "0 Fetched") << c.why;
            EXPECT_EQ(w->DataGrid1()->Row(), -1) << c.why;
            QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("a"));
            QTest::keyClick(child<QLineEdit>(w, "txtItem"), Qt::Key_Return);
            QTest::mouseClick(child<QWidget>(w, "VqOKButton1")->findChild<QPushButton *>(), Qt::LeftButton);
            EXPECT_FALSE(w->isOpen()) << c.why;
        });
        EXPECT_TRUE(shown) << c.why;
        EXPECT_EQ(helpList.Value().toString(), "") << c.why;
        EXPECT_EQ(helpList.Value2().toString(), "kept") << c.why;
        EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow) << c.why;
    }
    delete cases[3].connection;
}

TEST_F(HelpListWindow, ColumnsAreSizedByFieldType)
{
    look(QStringLiteral("SELECT code, amount, remark, note, qty, seen FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        const int defaultWidth = vq::twips::fromPixelsX(grid->horizontalHeader()->defaultSectionSize(), grid);
        // Twips, as they come out in whole pixels.
        const int expected[] = {
            1000, // varchar(4): never below ten characters
            1500, // money
            6000, // varchar(60)
            defaultWidth, // text: too wide to size, the column keeps its width
            1500, // integer
            1600, // timestamp: its defined size
        };
        ASSERT_EQ(grid->ColumnCount(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(grid->columnWidth(i), vq::twips::toPixelsX(expected[i], grid)) << i;
        // The first sort names the field bare.
        EXPECT_EQ(w->Adodc1()->Recordset()->Sort(), "code");
    });
}

TEST_F(HelpListWindow, FiltersAccumulateAndEscapeClosesThePanelBeforeTheWindow)
{
    vq::test::Recorder &recorder = warnings;
    look(QStringLiteral("SELECT name, qty, city, seen FROM customers"), [&](frmVqHelpList *w) {
        Recordset *rs = w->Adodc1()->Recordset();
        auto *picFilter = child<QWidget>(w, "picFilter");
        auto *txtFilter = child<QLineEdit>(w, "txtFilter");

        filterBy(w, 0, QStringLiteral("ba"));
        EXPECT_EQ(w->FilterText(), "[name] like 'ba%'");
        EXPECT_EQ(rs->Filter(), w->FilterText());
        EXPECT_EQ(fetched(w), "2 Fetched");
        EXPECT_FALSE(picFilter->isVisible());
        EXPECT_TRUE(child<QLineEdit>(w, "txtItem")->hasFocus()); // ENTER moved on to the search field

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
        EXPECT_EQ(w->FilterText(), "[name] like 'ba%' and [qty] = 5");
        EXPECT_EQ(fetched(w), "1 Fetched");

        // An empty text on a text column changes no filter; on a number column it filters for 0.
        filterBy(w, 2, QString());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !picFilter->isVisible(); }, 5000));
        EXPECT_EQ(w->FilterText(), "[name] like 'ba%' and [qty] = 5");
        EXPECT_EQ(currentName(w), "Baker");

        // A condition the record set refuses is dropped silently and the panel stays for a correction.
        filterBy(w, 3, QStringLiteral("abc"));
        QTest::qWait(50);
        EXPECT_TRUE(picFilter->isVisible());
        EXPECT_EQ(w->FilterText(), "[name] like 'ba%' and [qty] = 5");
        EXPECT_EQ(rs->Filter(), w->FilterText());
        EXPECT_EQ(recorder.calls.size(), 0);

        // Escape hides the panel without applying it; a second Escape closes the window.
        txtFilter->setFocus();
        QTest::keyClicks(txtFilter, QStringLiteral("x"));
        QTest::keyClick(txtFilter, Qt::Key_Escape);
        EXPECT_FALSE(picFilter->isVisible());
        EXPECT_TRUE(w->isOpen());
        EXPECT_EQ(w->FilterText(), "[name] like 'ba%' and [qty] = 5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(w->isOpen());
    });
    EXPECT_EQ(helpList.Value().toString(), "");

    // Each opening starts unfiltered, with an empty filter field.
    look(QStringLiteral("SELECT name, qty FROM customers"), [&](frmVqHelpList *w) {
        EXPECT_EQ(w->FilterText(), "");
        EXPECT_EQ(fetched(w), "5 Fetched");
        filterBy(w, 1, QString());
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->FilterText() == "[qty] = 0"; }, 5000))
            << w->FilterText().toStdString();
        EXPECT_EQ(fetched(w), "1 Fetched");
        // Other failures are shown, and the filter goes on with what it has.
        filterBy(w, 1, QStringLiteral("1e999"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.calls.size() == 1; }, 5000));
        EXPECT_EQ(recorder.calls[0].text, "Overflow");
        EXPECT_EQ(recorder.calls[0].title, "Warning!");
    });
}

TEST_F(HelpListWindow, FilterNeedsASelectedColumnAndACurrentRow)
{
    look(QStringLiteral("SELECT name, qty FROM customers"), [](frmVqHelpList *w) {
        auto *picFilter = child<QWidget>(w, "picFilter");
        chooseFromMenu(w->DataGrid1(), "mnuFilter");
        QTest::qWait(20);
        EXPECT_FALSE(picFilter->isVisible());
        clickHeader(w->DataGrid1(), 0);
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        txtItem->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtItem->hasFocus(); }, 5000));
        QTest::keyClicks(txtItem, QStringLiteral("zz"));
        ASSERT_EQ(w->DataGrid1()->Row(), -1);
        w->Filter();
        EXPECT_FALSE(picFilter->isVisible());
    });
}

TEST_F(HelpListWindow, HideShowAndOrderActOnTheSelectedColumns)
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
        clickHeader(grid, 1);
        clickHeader(grid, 2, Qt::ShiftModifier);
        chooseFromMenu(grid, "mnuHide");
        EXPECT_EQ(visible(), QList<bool>({true, false, false, true}));
        // Hiding every visible column leaves the first one.
        clickHeader(grid, 0);
        clickHeader(grid, 3, Qt::ShiftModifier);
        chooseFromMenu(grid, "mnuHide");
        EXPECT_EQ(visible(), QList<bool>({true, false, false, false}));
        // The last visible column cannot be hidden.
        clickHeader(grid, 0);
        chooseFromMenu(grid, "mnuHide");
        EXPECT_EQ(visible(), QList<bool>({true, false, false, false}));
        chooseFromMenu(grid, "mnuShowAll");
        EXPECT_EQ(visible(), QList<bool>({true, true, true, true}));
    });
}

TEST_F(HelpListWindow, OrderSortsByTheSelectedColumnWhichTheSearchThenSearches)
{
    look(QStringLiteral("SELECT name, qty, city, remark FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        clickHeader(grid, 2);
        chooseFromMenu(grid, "mnuOrder");
        EXPECT_EQ(w->SortField(), 2);
        EXPECT_EQ(grid->LeftCol(), 2);
        EXPECT_EQ(w->Adodc1()->Recordset()->Sort(), "[city]");
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        txtItem->setFocus();
        // Entering the grid put the current cell's text into the search field; the user types over it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return txtItem->hasFocus(); }, 5000));
        txtItem->selectAll();
        QTest::keyClicks(txtItem, QStringLiteral("d"));
        EXPECT_EQ(currentName(w), "Davis"); // Denton comes before Dover
        EXPECT_EQ(grid->Row(), 3);
    });
}

TEST_F(HelpListWindow, RemoveFilterFetchesAgainAndKeepsTheSortColumn)
{
    look(QStringLiteral("SELECT name, city FROM customers"), [this](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        clickHeader(grid, 1);
        chooseFromMenu(grid, "mnuOrder");
        filterBy(w, 0, QStringLiteral("b"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return fetched(w) == "2 Fetched"; }, 5000))
            << fetched(w).toStdString();
        // A row added meanwhile shows only when the rows are fetched again.
        testdb::makeSqlite(
            db, {QStringLiteral("INSERT INTO customers (name, city) VALUES ('Evans', 'Aachen')")});
        chooseFromMenu(grid, "mnuRemFilter");
        EXPECT_EQ(fetched(w), "6 Fetched");
        EXPECT_EQ(w->FilterText(), "");
        Recordset *rs = w->Adodc1()->Recordset();
        EXPECT_EQ(rs->Filter(), "");
        EXPECT_EQ(rs->Sort(), "[city]");
        rs->MoveFirst();
        EXPECT_EQ(currentName(w), "Evans");
    });
}

TEST_F(HelpListWindow, EveryCommandIsWithinReachOfTheKeyboard)
{
    look(QStringLiteral("SELECT name, qty, city, remark FROM customers"), [](frmVqHelpList *w) {
        DataGrid *grid = w->DataGrid1();
        auto *txtItem = child<QLineEdit>(w, "txtItem");
        QTest::keyClick(txtItem, Qt::Key_Down);
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
        table = testdb::uniqueName("vq_lookup");
        admin.Open(testdb::postgresDriverString());
        admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
        admin.Execute(
            QStringLiteral("CREATE TABLE %1 AS SELECT g AS id, 'customer ' || lpad(g::text, 5, '0') "
                           "AS name, (g % 97)::numeric(10,2) AS amount FROM generate_series(1, 3000) g")
                .arg(table));
        dsn = testdb::writeFileDsn(dir.filePath(QStringLiteral("pg.dsn")),
            {QStringLiteral("Driver=%1").arg(qEnvironmentVariable("VQ_PG_DRIVER")),
                QStringLiteral("Servername=%1").arg(qEnvironmentVariable("VQ_PG_HOST")),
                QStringLiteral("Port=%1").arg(qEnvironmentVariable("VQ_PG_PORT")),
                QStringLiteral("Database=%1").arg(qEnvironmentVariable("VQ_PG_DATABASE")),
                QStringLiteral("UID=%1").arg(qEnvironmentVariable("VQ_PG_USER")),
                QStringLiteral("UseDeclareFetch=1"), QStringLiteral("Fetch=100")});
        vq::modGeneral::ClearPickedValues();
    }

    void TearDown() override
    {
        if (admin.State() == vq::Connection::adStateOpen)
            admin.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
    }

    QTemporaryDir dir;
    QString dsn;
    QString table;
    vq::Connection admin;
    VqHelpList helpList;
};

} // namespace

TEST_F(HelpListOverPostgres, LooksUpThroughAFileDsn)
{
    vq::Connection host;
    host.setConnectionString(QStringLiteral("FileDSN=") + dsn);
    lookUp(
        helpList, &host, QStringLiteral("SELECT name, id, amount FROM %1").arg(table), [](frmVqHelpList *w) {
            EXPECT_EQ(child<QLabel>(w, "lblFetched")->text(), "3000 Fetched");
            auto *txtItem = child<QLineEdit>(w, "txtItem");
            QTest::keyClicks(txtItem, QStringLiteral("CUSTOMER 0250"));
            QTest::keyClick(txtItem, Qt::Key_Return);
            QTest::keyClick(w->DataGrid1(), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
    EXPECT_EQ(helpList.Value().toString(), "customer 02500");
    EXPECT_EQ(helpList.Value2().toString(), "2500");
    EXPECT_EQ(helpList.Value3().toString(), "75");
    EXPECT_EQ(host.State(), vq::Connection::adStateClosed); // the caller's connection is not used
}

TEST_F(HelpListOverPostgres, AServerGoneDuringTheFetchStillOpensTheWindowWithWhatItHolds)
{
    vq::Connection host;
    host.setConnectionString(QStringLiteral("FileDSN=") + dsn);
    // The server ends the lookup's own session half-way through the rows (read in table order, so the
    // rows before it arrive first).
    const QString query =
        QStringLiteral("SELECT name, id, CASE WHEN id = 1500 THEN pg_terminate_backend(pg_backend_pid()) END "
                       "AS gone FROM %1")
            .arg(table);
    bool shown = false;
    lookUp(helpList, &host, query, [&](frmVqHelpList *w) {
        shown = true;
        const qsizetype held = w->Adodc1()->Recordset()->rowCount();
        EXPECT_LT(held, 3000);
        QTest::keyClicks(child<QLineEdit>(w, "txtItem"), QStringLiteral("c"));
        QTest::mouseClick(child<QWidget>(w, "VqOKButton1")->findChild<QPushButton *>(), Qt::LeftButton);
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(vq::Screen::MousePointer(), vq::Screen::Arrow);
}
