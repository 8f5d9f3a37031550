#include "ListForm.h"

#include "frame/MemoryPropertyBag.h"
#include "lists/VqListBox.h"
#include "lists/VqPortableListBox.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/Twips.h"

#include "lists/ListBoxWidget.h"
#include <QSignalSpy>

#include "support/Errors.h"

using vq::test::errorNumber;

namespace {

QStringList itemsOf(const QObject *control)
{
    QStringList items;
    const auto *list = control->findChild<vq::ListBoxWidget *>();
    for (int i = 0; i < list->model()->rowCount(); ++i)
        items << list->model()->index(i, 0).data().toString();
    return items;
}

// The members both list controls pass to their list, with the list's own failures.
template<class C>
void checkPassThrough()
{
    C control;
    control.AddItem(QStringLiteral("b"));
    control.AddItem(QStringLiteral("d"));
    control.AddItem(QStringLiteral("a"), 0);
    control.AddItem(QStringLiteral("c"), QVariant(QStringLiteral("2")));
    control.AddItem(QStringLiteral("e"), 4);
    ASSERT_EQ(itemsOf(&control), QStringList({"a", "b", "c", "d", "e"}));
    control.RemoveItem(4);
    control.setList(3, QStringLiteral("D"));
    EXPECT_EQ(control.List(3), "D");

    struct Case
    {
        const char *call;
        std::function<void()> run;
        int error;
    };
    const std::vector<Case> outside = {
        {"List(4)", [&] { control.List(4); }, 381},
        {"List(-1)", [&] { control.List(-1); }, 381},
        {"setList(4)", [&] { control.setList(4, "x"); }, 381},
        {"Selected(4)", [&] { control.Selected(4); }, 381},
        {"setSelected(-2)", [&] { control.setSelected(-2, true); }, 381},
        {"RemoveItem(4)", [&] { control.RemoveItem(4); }, 5},
        {"RemoveItem(-1)", [&] { control.RemoveItem(-1); }, 5},
        {"AddItem at 5", [&] { control.AddItem("x", 5); }, 5},
        {"AddItem at -1", [&] { control.AddItem("x", -1); }, 5},
        {"AddItem at \"two\"", [&] { control.AddItem("x", QStringLiteral("two")); }, 13},
    };
    for (const Case &c : outside) {
        EXPECT_EQ(errorNumber(c.run), c.error) << c.call;
        EXPECT_EQ(itemsOf(&control), QStringList({"a", "b", "c", "D"})) << c.call << " changed the list";
    }

    // One item selected at a time; Text follows the selection and selects by text, without regard to case.
    control.setSelected(1, true);
    control.setSelected(2, true);
    EXPECT_FALSE(control.Selected(1));
    EXPECT_EQ(control.ListIndex(), 2);
    EXPECT_EQ(control.SelCount(), 1);
    EXPECT_EQ(control.Text(), "c");
    control.setText(QStringLiteral("d"));
    EXPECT_EQ(control.ListIndex(), 3);
    control.setText(QStringLiteral("no such item"));
    EXPECT_EQ(control.ListIndex(), -1);
    EXPECT_EQ(control.Text(), "");
    EXPECT_EQ(control.SelCount(), 0);
    control.setListIndex(0);
    control.setSelected(0, false);
    EXPECT_EQ(control.ListIndex(), -1);
    control.Clear();
    EXPECT_EQ(control.ListCount(), 0);
}

} // namespace

TEST(ListControls, MembersActOnTheListAndPassItsFailuresOn)
{
    checkPassThrough<VqListBox>();
    checkPassThrough<VqPortableListBox>();
}

TEST(ListControls, ListIndexOutsideTheListIsSwallowedByTheListBoxOnly)
{
    VqListBox box;
    VqPortableListBox portable;
    QSignalSpy boxChanges(&box, &vq::Control::propertyChanged);
    QSignalSpy portableChanges(&portable, &vq::Control::propertyChanged);
    for (const char *item : {"a", "b", "c"}) {
        box.AddItem(QString::fromLatin1(item));
        portable.AddItem(QString::fromLatin1(item));
    }
    box.setListIndex(1);
    portable.setListIndex(1);
    for (int index : {5, 3, -2}) {
        boxChanges.clear();
        EXPECT_EQ(errorNumber([&] { box.setListIndex(index); }), 0) << index;
        EXPECT_EQ(box.ListIndex(), 1);
        ASSERT_EQ(boxChanges.size(), 1);
        EXPECT_EQ(boxChanges[0][0], "ListIndex");
        EXPECT_EQ(errorNumber([&] { portable.setListIndex(index); }), 380) << index;
        EXPECT_EQ(portable.ListIndex(), 1);
    }
    box.setListIndex(-1);
    EXPECT_EQ(box.ListIndex(), -1);
}

// The conformance suite checks the plain properties; the indexed ones are methods it cannot see.
TEST(ListControls, IndexedSettersNotifyByTheirOwnNames)
{
    VqListBox box;
    box.AddItem(QStringLiteral("a"));
    QSignalSpy changes(&box, &vq::Control::propertyChanged);
    box.setSelected(0, true);
    box.setList(0, QStringLiteral("b"));
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][0], "Selected");
    EXPECT_EQ(changes[1][0], "List");
}

TEST(VqListBox, SavesAndLoadsItsKeysOnlyWhileTheListHoldsItems)
{
    VqListBox empty;
    vq::MemoryPropertyBag bag;
    empty.WriteProperties(bag);
    EXPECT_TRUE(bag.keys().isEmpty());

    VqListBox filled;
    for (const char *item : {"north", "south", "east"})
        filled.AddItem(QString::fromLatin1(item));
    filled.setListIndex(2);
    filled.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList({"ListIndex", "Selected0", "Text", "List0"}));
    EXPECT_EQ(bag.value("ListIndex").toInt(), 2);
    EXPECT_EQ(bag.value("Selected0"), QVariant(false));
    EXPECT_EQ(bag.value("Text"), "east");
    EXPECT_EQ(bag.value("List0"), "north");

    // A control being loaded is empty, so it reads nothing and stays empty.
    VqListBox loaded;
    loaded.ReadProperties(bag);
    EXPECT_TRUE(bag.readLog().isEmpty());
    EXPECT_EQ(loaded.ListCount(), 0);

    // One that already holds items takes the saved values, in order: item 0 is renamed last, after Text
    // selected by the old name.
    VqListBox holding;
    for (const char *item : {"a", "b", "east"})
        holding.AddItem(QString::fromLatin1(item));
    bag.WriteProperty("Selected0", short(-1), short(0));
    bag.WriteProperty("List0", "first", QString());
    holding.ReadProperties(bag);
    EXPECT_EQ(bag.readLog(), QStringList({"ListIndex", "Selected0", "Text", "List0"}));
    EXPECT_EQ(holding.ListIndex(), 2);
    EXPECT_EQ(holding.List(0), "first");
}

TEST(VqListBox, LaysOutItsListAndSurvivesSizesTooSmallForIt)
{
    VqListBox box;
    auto *list = box.findChild<vq::ListBoxWidget *>("List1");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->font().family(), "Verdana");
    EXPECT_EQ(box.font().family(), "Arial");

    // Twips become whole pixels, so the expected sizes go through the same conversion.
    const auto listSize = [&] {
        return QSize(
            vq::twips::toPixelsX(box.widthTwips() - 100), vq::twips::toPixelsY(box.heightTwips() - 100));
    };
    box.resizeTwips(3000, 2400);
    EXPECT_EQ(list->geometry(), QRect(QPoint(1, 1), listSize()));
    const QSize laidOut = list->size();
    // Too low for any list height, then too narrow for any width: each refused step leaves that side.
    EXPECT_EQ(errorNumber([&] { box.resizeTwips(600, 90); }), 0);
    EXPECT_EQ(list->size(), QSize(listSize().width(), laidOut.height()));
    const QSize narrow = list->size();
    EXPECT_EQ(errorNumber([&] { box.resizeTwips(60, 30); }), 0);
    EXPECT_EQ(list->size(), narrow);
}

TEST(VqListBox, KeyDownHandlersChangeWhatTheListDoesAndClicksAreRaised)
{
    ListForm<VqListBox> f("VqListBox");
    ASSERT_TRUE(f.activated);
    VqListBox &box = *f.control;
    for (const char *item : {"alpha", "beta", "gamma", "delta"})
        box.AddItem(QString::fromLatin1(item));
    auto *list = box.findChild<vq::ListBoxWidget *>("List1");
    list->setFocus(Qt::TabFocusReason);
    box.setListIndex(1);

    // Each row: the key pressed, what the host's handler turns it into, where the selection ends.
    struct Case
    {
        Qt::Key key;
        short replacement; // -1: left as it is
        int expectedIndex;
        int clicks;
    };
    const Case cases[] = {
        {Qt::Key_Down, -1, 2, 1}, {Qt::Key_Down, 0, 2, 0}, {Qt::Key_Down, vq::keys::VkUp, 1, 1},
        {Qt::Key_Home, vq::keys::VkEnd, 3, 1},
        {Qt::Key_A, 'B', 1, 1}, // the list's type-ahead sees the replacement's character
    };
    short seenCode = 0;
    short replacement = -1;
    QObject::connect(&box, &VqListBox::KeyDown, &box, [&](short &keyCode, short &) {
        seenCode = keyCode;
        if (replacement >= 0)
            keyCode = replacement;
    });
    QSignalSpy clicks(&box, &VqListBox::Click);
    for (const Case &c : cases) {
        replacement = c.replacement;
        clicks.clear();
        QTest::keyClick(list, c.key);
        EXPECT_EQ(seenCode, vq::keys::virtualKey(c.key)) << c.key;
        EXPECT_EQ(box.ListIndex(), c.expectedIndex) << c.key << " -> " << c.replacement;
        EXPECT_EQ(clicks.size(), c.clicks) << c.key;
    }

    // A mouse click on an item selects it and raises Click, also on the item already selected.
    replacement = -1;
    for (int row : {0, 0}) {
        clicks.clear();
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
        EXPECT_EQ(box.ListIndex(), row);
        EXPECT_EQ(clicks.size(), 1);
    }
    // Setting the selection from code is no click.
    clicks.clear();
    box.setListIndex(3);
    EXPECT_EQ(clicks.size(), 0);
}
