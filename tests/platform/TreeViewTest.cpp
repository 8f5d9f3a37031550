#include "platform/TreeView.h"

#include "support/Errors.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using vq::TreeNodes;

// The tree's shape by keys, e.g. "a(a1,a2),b", read from the widget itself rather than the key index.
QString outline(const QTreeWidgetItem *parent, const QTreeWidget &tree)
{
    QStringList parts;
    const int n = parent ? parent->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = parent ? parent->child(i) : tree.topLevelItem(i);
        const QString key = vq::TreeNode(const_cast<QTreeWidgetItem *>(item)).Key();
        parts << (item->childCount() ? key + "(" + outline(item, tree) + ")" : key);
    }
    return parts.join(",");
}

QString outline(const vq::TreeView &tree)
{
    return outline(nullptr, tree);
}

// A tree of two roots, the first with two children: a(a1,a2),b.
void addBase(vq::TreeView &tree)
{
    tree.Nodes().Add({}, TreeNodes::tvwLast, "a", "A");
    tree.Nodes().Add({}, TreeNodes::tvwLast, "b", "B");
    tree.Nodes().Add("a", TreeNodes::tvwChild, "a1", "A1");
    tree.Nodes().Add("a", TreeNodes::tvwChild, "a2", "A2");
}

} // namespace

TEST(TreeView, AddPlacesTheNodeByRelativeAndRelationship)
{
    struct Case
    {
        QVariant relative;
        int relationship;
        const char *expected;
    };
    const Case cases[] = {
        {{}, TreeNodes::tvwFirst, "x,a(a1,a2),b"},
        {{}, TreeNodes::tvwLast, "a(a1,a2),b,x"},
        {{}, TreeNodes::tvwNext, "a(a1,a2),b,x"},
        {{}, TreeNodes::tvwChild, "a(a1,a2),b,x"},
        {"a1", TreeNodes::tvwFirst, "a(x,a1,a2),b"},
        {"a1", TreeNodes::tvwLast, "a(a1,a2,x),b"},
        {"a1", TreeNodes::tvwNext, "a(a1,x,a2),b"},
        {"a1", TreeNodes::tvwPrevious, "a(x,a1,a2),b"},
        {"a2", TreeNodes::tvwPrevious, "a(a1,x,a2),b"},
        {"a", TreeNodes::tvwNext, "a(a1,a2),x,b"},
        {"b", TreeNodes::tvwPrevious, "a(a1,a2),x,b"},
        {"b", TreeNodes::tvwFirst, "x,a(a1,a2),b"},
        {"a", TreeNodes::tvwChild, "a(a1,a2,x),b"},
        {"a2", TreeNodes::tvwChild, "a(a1,a2(x)),b"},
    };
    for (const Case &c : cases) {
        vq::TreeView tree;
        addBase(tree);
        const vq::TreeNode node = tree.Nodes().Add(c.relative, c.relationship, "x", "X");
        EXPECT_EQ(outline(tree), c.expected) << qPrintable(c.relative.toString()) << " " << c.relationship;
        EXPECT_EQ(node.Text(), "X");
        EXPECT_EQ(tree.Nodes().Item("x"), node);
        EXPECT_EQ(tree.Nodes().Count(), 5);
    }
}

TEST(TreeView, RefusedAddsLeaveTheTreeAsItWas)
{
    struct Case
    {
        const char *relative;
        int relationship;
        const char *key;
        int error;
    };
    const Case cases[] = {
        {"", TreeNodes::tvwLast, "a", vq::Error::KeyNotUnique},
        {"a", TreeNodes::tvwChild, "a2", vq::Error::KeyNotUnique}, // unique in the whole tree, not per level
        {"b", TreeNodes::tvwChild, "A", 0}, // keys are case-sensitive
        {"zz", TreeNodes::tvwChild, "x", vq::Error::ElementNotFound},
        {"", TreeNodes::tvwChild, "x", vq::Error::ElementNotFound}, // an empty key is no relative
        {"A", TreeNodes::tvwChild, "x", vq::Error::ElementNotFound},
        {"zz", TreeNodes::tvwChild, "a", vq::Error::KeyNotUnique}, // the key is checked first
        {"a", 5, "x", vq::Error::InvalidProcedureCall},
        {"a", -1, "x", vq::Error::InvalidProcedureCall},
    };
    for (const Case &c : cases) {
        vq::TreeView tree;
        addBase(tree);
        const int error =
            vq::test::errorNumber([&] { tree.Nodes().Add(c.relative, c.relationship, c.key, "?"); });
        EXPECT_EQ(error, c.error) << c.relative << " " << c.key;
        if (error) {
            EXPECT_EQ(outline(tree), "a(a1,a2),b");
            EXPECT_EQ(tree.Nodes().Count(), 4);
            EXPECT_EQ(tree.Nodes().Item("a").Text(), "A");
        }
    }
    vq::TreeView tree;
    addBase(tree);
    EXPECT_EQ(
        vq::test::errorText([&] { tree.Nodes().Add({}, 0, "b", ""); }), "Key is not unique in collection");
    EXPECT_EQ(vq::test::errorText([&] { tree.Nodes().Add("q", 4, "c", ""); }), "Element not found");
}

TEST(TreeView, RemovingANodeForgetsItsSubtreeKeys)
{
    vq::TreeView tree;
    addBase(tree);
    tree.Nodes().Add("a1", TreeNodes::tvwChild, "deep", "Deep");
    // Nodes without a key count but cannot be found.
    tree.Nodes().Add("a", TreeNodes::tvwChild, "", "Unkeyed");
    tree.Nodes().Add("b", TreeNodes::tvwChild, "", "Unkeyed too");
    EXPECT_EQ(tree.Nodes().Count(), 7);

    tree.Nodes().Remove("a");
    EXPECT_EQ(outline(tree), "b()");
    EXPECT_EQ(tree.Nodes().Count(), 2);
    for (const char *gone : {"a", "a1", "a2", "deep"}) {
        EXPECT_FALSE(tree.Nodes().contains(gone)) << gone;
        EXPECT_EQ(vq::test::errorNumber([&] { tree.Nodes().Item(gone); }), vq::Error::ElementNotFound);
    }
    EXPECT_EQ(vq::test::errorNumber([&] { tree.Nodes().Remove("a"); }), vq::Error::ElementNotFound);
    // A removed key may be used again.
    tree.Nodes().Add("b", TreeNodes::tvwChild, "deep", "Again");
    EXPECT_EQ(tree.Nodes().Item("deep").Parent(), tree.Nodes().Item("b"));

    tree.Nodes().Clear();
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_NO_THROW(tree.Nodes().Add({}, TreeNodes::tvwLast, "b", "B"));
}

namespace {

class ShownTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        addBase(tree);
        tree.expandAll();
        tree.resize(200, 200);
        tree.show();
        QApplication::setActiveWindow(&tree);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&tree));
        tree.setFocus();
    }

    QPoint centreOf(const char *key) { return tree.visualItemRect(tree.Nodes().Item(key).item()).center(); }

    vq::TreeView tree;
};

} // namespace

TEST_F(ShownTree, ClickAndKeyboardMovesPickANodeButTheProgramDoesNot)
{
    QStringList picked;
    QObject::connect(&tree, &vq::TreeView::NodeClick, [&](vq::TreeNode n) { picked << n.Key(); });

    tree.setSelectedItem(tree.Nodes().Item("a"));
    EXPECT_TRUE(picked.isEmpty());

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("a2"));
    EXPECT_EQ(tree.SelectedItem().Key(), "a2");
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.SelectedItem().Key(), "b");
    // A key that moves nowhere picks nothing.
    QTest::keyClick(&tree, Qt::Key_Down);
    // Clicking the selected node again picks it again.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("b"));
    EXPECT_EQ(picked, (QStringList {"a2", "b", "b"}));

    // Clicking the empty space below the nodes picks nothing.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(5, tree.viewport()->height() - 3));
    EXPECT_EQ(picked.size(), 3);
}

TEST_F(ShownTree, KeyPressSeesEveryCharacterAndMayChangeOrDiscardIt)
{
    QList<short> seen;
    short replacement = -1;
    QObject::connect(&tree, &vq::TreeView::KeyPress, [&](short &k) {
        seen << k;
        if (replacement >= 0)
            k = replacement;
    });
    tree.setSelectedItem(tree.Nodes().Item("a"));

    QTest::keyClick(&tree, Qt::Key_Return);
    QTest::keyClick(&tree, Qt::Key_Backspace);
    QTest::keyClick(&tree, Qt::Key_Down); // no character
    EXPECT_EQ(seen, (QList<short> {13, 8}));
    EXPECT_EQ(tree.SelectedItem().Key(), "a1");

    // Typing a node's first letter moves to it, unless the handler discards or changes the letter.
    replacement = 0;
    QTest::keyClick(&tree, Qt::Key_B);
    EXPECT_EQ(tree.SelectedItem().Key(), "a1");
    replacement = 'b';
    QTest::keyClick(&tree, Qt::Key_X);
    EXPECT_EQ(tree.SelectedItem().Key(), "b");
}
