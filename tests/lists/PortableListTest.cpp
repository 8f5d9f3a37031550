#include "ListForm.h"
#include "data/TestDatabase.h"

#include "frame/MemoryPropertyBag.h"
#include "lists/VqPortableListBox.h"
#include "platform/Twips.h"

#include "lists/ListBoxWidget.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

class DropDown : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(f.activated);
        for (const char *item : {"Boston", "Chicago", "Denver"})
            f.control->AddItem(QString::fromLatin1(item));
        txtList = f.control->findChild<QComboBox *>(QStringLiteral("txtList"));
        lstList = f.control->findChild<vq::ListBoxWidget *>(QStringLiteral("lstList"));
        ASSERT_NE(txtList, nullptr);
        ASSERT_NE(lstList, nullptr);
    }

    bool isOpen() const
    {
        return lstList->isVisible() && lstList->hasFocus() && f.control->heightTwips() == 2385;
    }
    bool isClosed() const { return !lstList->isVisible() && f.control->heightTwips() == 420; }
    QString entry() const { return txtList->currentText(); }

    // The user tabs from the field before the control.
    void tabIn()
    {
        f.before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(f.before, Qt::Key_Tab);
    }

    ListForm<VqPortableListBox> f {"VqPortableListBox"};
    QComboBox *txtList = nullptr;
    vq::ListBoxWidget *lstList = nullptr;
};

} // namespace

TEST_F(DropDown, TabbingInOpensTheListAndEnterMovesOnShowingThePickedItem)
{
    tabIn();
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(lstList->height(), vq::twips::toPixelsY(2385 - vq::twips::geometry(txtList).height() - 100));
    QTest::keyClick(lstList, Qt::Key_Down);
    QTest::keyClick(lstList, Qt::Key_Down);
    EXPECT_EQ(entry(), "") << "the entry follows the list only when it closes";
    QTest::keyClick(lstList, Qt::Key_Return);
    // The queued TAB moves the focus on after the key handler has returned.
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.after->hasFocus(); }, 5000));
    EXPECT_TRUE(isClosed());
    EXPECT_EQ(entry(), "Chicago");
}

TEST_F(DropDown, LeavingWithNoSelectionEmptiesTheEntry)
{
    tabIn();
    QTest::keyClick(lstList, Qt::Key_Down);
    QTest::keyClick(lstList, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.after->hasFocus(); }, 5000));
    ASSERT_EQ(entry(), "Boston");

    // The host clears the selection from code; the entry keeps its text until the list next closes.
    f.control->setListIndex(-1);
    EXPECT_EQ(entry(), "Boston");
    QTest::mouseClick(txtList->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(isOpen());
    QTest::mouseClick(f.after, Qt::LeftButton);
    f.after->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(isClosed());
    EXPECT_EQ(entry(), "");
}

TEST_F(DropDown, ClickingTheEntryWhileOpenClosesAndOpensAgain)
{
    tabIn();
    ASSERT_TRUE(isOpen());
    QTest::keyClick(lstList, Qt::Key_End);
    ASSERT_EQ(f.control->ListIndex(), 2);
    QTest::mouseClick(txtList->lineEdit(), Qt::LeftButton);
    txtList->lineEdit()->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(entry(), "Denver");
}

TEST_F(DropDown, ClickingTheEntrysArrowOpensTheListAndNoListOfItsOwn)
{
    QStyleOptionComboBox option;
    option.initFrom(txtList);
    option.editable = true;
    const QRect arrow =
        txtList->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, txtList);
    QTest::mouseClick(txtList, Qt::LeftButton, {}, arrow.center());
    EXPECT_FALSE(txtList->view()->isVisible());
    EXPECT_TRUE(isOpen());
}

TEST_F(DropDown, ShiftTabInTheListGoesBackPastTheEntry)
{
    tabIn();
    ASSERT_TRUE(isOpen());
    QTest::keyClick(lstList, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(f.before->hasFocus());
    EXPECT_TRUE(isClosed());
    // And TAB from the field before opens it again.
    QTest::keyClick(f.before, Qt::Key_Tab);
    EXPECT_TRUE(isOpen());
}

TEST_F(DropDown, CodeChangesTheSelectionButNotTheEntryAndRefreshKeepsTheEntry)
{
    f.control->setText(QStringLiteral("denver"));
    EXPECT_EQ(f.control->ListIndex(), 2);
    EXPECT_EQ(entry(), "");
    f.control->setListIndex(0);
    EXPECT_EQ(entry(), "");
    tabIn();
    QTest::keyClick(lstList, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.after->hasFocus(); }, 5000));
    EXPECT_EQ(entry(), "Boston");
    // A refill (here one that fails and leaves the list empty) does not touch the entry.
    EXPECT_FALSE(f.control->RefreshData());
    EXPECT_EQ(f.control->ListCount(), 0);
    EXPECT_EQ(entry(), "Boston");
}

TEST_F(DropDown, ClicksAndKeysInTheListReachTheHostAndEnterStillMovesWhenTheHostSeesIt)
{
    QSignalSpy clicks(f.control, &VqPortableListBox::Click);
    QList<short> codes;
    QObject::connect(f.control, &VqPortableListBox::KeyDown, [&](short &code, short &) { codes << code; });
    tabIn();
    QTest::keyClick(lstList, Qt::Key_Down);
    QTest::keyClick(lstList, Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.after->hasFocus(); }, 5000));
    EXPECT_EQ(codes, QList<short>({40, 16, 13})) << "the SHIFT key goes down too";
    EXPECT_EQ(clicks.size(), 1);
}

namespace {

class PortableListBag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString db = dir.filePath(QStringLiteral("cities.db"));
        testdb::makeSqlite(db,
            {QStringLiteral("CREATE TABLE city (name text)"),
                QStringLiteral("INSERT INTO city VALUES ('Austin'), ('Boise'), ('Cary')")});
        dsn = testdb::writeSqliteFileDsn(dir.filePath(QStringLiteral("cities.dsn")), db);
        saved.WriteProperty("Font", QFont(QStringLiteral("Courier New"), 11));
        saved.WriteProperty("ListIndex", short(2));
        saved.WriteProperty("Text", QStringLiteral("Cary"));
        saved.WriteProperty("DSNName", dsn);
        saved.WriteProperty("Query", QStringLiteral("SELECT name FROM city ORDER BY name"));
        saved.WriteProperty("List0", QStringLiteral("Zurich"));
        saved.WriteProperty("Selected0", short(-1));
    }

    std::unique_ptr<VqPortableListBox> load(bool userMode)
    {
        auto control = std::make_unique<VqPortableListBox>();
        vq::AmbientProperties ambient;
        ambient.UserMode = userMode;
        control->setAmbientProperties(ambient);
        control->ReadProperties(saved);
        return control;
    }

    QTemporaryDir dir;
    QString dsn;
    vq::MemoryPropertyBag saved;
};

} // namespace

TEST_F(PortableListBag, RunModeFillsOnLoadAndOnlyFontSourceQueryAndSelected0Last)
{
    const auto control = load(true);
    EXPECT_EQ(control->ListCount(), 3);
    EXPECT_EQ(control->List(0), "Austin");
    EXPECT_EQ(control->ListIndex(), 0) << "Selected0 selects the first loaded item";
    EXPECT_EQ(control->Font().family(), "Courier New");
    EXPECT_EQ(control->DSNName(), dsn);
    EXPECT_EQ(saved.readLog(),
        QStringList({"Font", "ListIndex", "Text", "DSNName", "Query", "List0", "Selected0"}));

    vq::MemoryPropertyBag written;
    control->WriteProperties(written);
    EXPECT_EQ(
        written.keys(), QStringList({"Font", "ListIndex", "Text", "DSNName", "Query", "List0", "Selected0"}));
    EXPECT_EQ(written.value("ListIndex").toInt(), 0);
    EXPECT_EQ(written.value("Text"), "Austin");
    EXPECT_EQ(written.value("List0"), "Austin");
    EXPECT_EQ(written.value("Selected0"), QVariant(true));
}

TEST_F(PortableListBag, DesignModeKeepsSourceAndQueryButShowsAnEmptyList)
{
    const auto control = load(false);
    EXPECT_EQ(control->ListCount(), 0);
    EXPECT_EQ(control->Query(), "SELECT name FROM city ORDER BY name");
    EXPECT_EQ(control->DSNName(), dsn);
    EXPECT_FALSE(saved.readLog().contains("Selected0")) << "no item to select";

    // An empty list writes no item keys.
    VqPortableListBox fresh;
    fresh.InitProperties();
    vq::MemoryPropertyBag written;
    fresh.WriteProperties(written);
    EXPECT_EQ(written.keys(), QStringList({"Font", "ListIndex", "Text", "DSNName", "Query"}));
    // A bag without any key loads the defaults: the ambient font among them.
    vq::AmbientProperties ambient;
    ambient.Font = QFont(QStringLiteral("Georgia"), 13);
    fresh.setAmbientProperties(ambient);
    vq::MemoryPropertyBag empty;
    fresh.ReadProperties(empty);
    EXPECT_EQ(fresh.Font().family(), "Georgia");
    EXPECT_EQ(fresh.ListCount(), 0);
}
