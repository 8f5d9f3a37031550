#include "platform/TreeView.h"
#include "support/Forms.h"

#include "support/Errors.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using vq::TreeNodes;

// The tree's shape by keys, e.g. "a(a1,a2),b", read from the widget itself rather than the key index.
QString outline(const QTreeWidget &tree, const QTreeWidgetItem *parent = nullptr)
{
    QStringList parts;
    const int n = parent ? parent->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        QTreeWidgetItem *item = parent ? parent->child(i) : tree.topLevelItem(i);
        const QString key = vq::TreeNode(item).Key();
        parts << (item->childCount() ? key + "(" + outline(tree, item) + ")" : key);
    }
    return parts.join(",");
}

// Two top-level nodes, the first with two children: a(a1,a2),b.
void addBase(vq::TreeView &tree)
{
    tree.Nodes().Add({}, TreeNodes::tvwLast, "a", "A");
    tree.Nodes().Add({}, TreeNodes::tvwLast, "b", "B");
    tree.Nodes().Add("a", TreeNodes::tvwChild, "a1", "A1");
    tree.Nodes().Add("a", TreeNodes::tvwChild, "a2", "A2");
}

} // namespace

TEST(TreeView, AddPlacesTheNodeByRelativeAndRelationshipOrRefusesAndAddsNothing)
{
    struct Case
    {
        QVariant relative;
        int relationship;
        const char *key;
        const char *expected; // the shape afterwards, or the error number
        int error = 0;
    };
    const Case cases[] = {
        {{}, TreeNodes::tvwFirst, "x", "x,a(a1,a2),b"},
        {{}, TreeNodes::tvwChild, "x", "a(a1,a2),b,x"}, // no relative: last top-level node
        {"a1", TreeNodes::tvwFirst, "x", "a(x,a1,a2),b"},
        {"a1", TreeNodes::tvwLast, "x", "a(a1,a2,x),b"},
        {"a1", TreeNodes::tvwNext, "x", "a(a1,x,a2),b"},
        {"a2", TreeNodes::tvwPrevious, "x", "a(a1,x,a2),b"},
        {"b", TreeNodes::tvwPrevious, "x", "a(a1,a2),x,b"},
        {"a2", TreeNodes::tvwChild, "x", "a(a1,a2(x)),b"},
        {"b", TreeNodes::tvwChild, "A", "a(a1,a2),b(A)"}, // keys are case-sensitive
        {{}, TreeNodes::tvwLast, "a2", "", vq::Error::KeyNotUnique}, // unique in the whole tree
        {"zz", TreeNodes::tvwChild, "x", "", vq::Error::ElementNotFound},
        {"", TreeNodes::tvwChild, "x", "", vq::Error::ElementNotFound}, // an empty key names no node
        {"zz", TreeNodes::tvwChild, "a", "", vq::Error::KeyNotUnique}, // the key is checked first
        {"a", 5, "x", "", vq::Error::InvalidProcedureCall},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.relative.toString() + " " + QString::number(c.relationship) + " " + c.key));
        vq::TreeView tree;
        addBase(tree);
        vq::TreeNode added;
        EXPECT_EQ(
            vq::test::errorNumber([&] { added = tree.Nodes().Add(c.relative, c.relationship, c.key, "X"); }),
            c.error);
        EXPECT_EQ(outline(tree), c.error ? "a(a1,a2),b" : c.expected);
        EXPECT_EQ(tree.Nodes().Count(), c.error ? 4 : 5);
        if (!c.error) {
            EXPECT_EQ(tree.Nodes().Item(c.key), added);
        }
    }
    vq::TreeView tree;
    addBase(tree);
    EXPECT_EQ(
        vq::test::errorText([&] { tree.Nodes().Add({}, 0, "b", ""); }), "Key is not unique in collection");
    EXPECT_EQ(vq::test::errorText([&] { tree.Nodes().Add("q", 4, "c", ""); }), "Element not found");
}

TEST(TreeView, RemovingANodeForgetsTheKeysOfItsWholeSubtree)
{
    vq::TreeView tree;
    addBase(tree);
    tree.Nodes().Add("a1", TreeNodes::tvwChild, "deep", "Deep");
    tree.Nodes().Add("a", TreeNodes::tvwChild, "", "Unkeyed"); // counted, never found
    tree.Nodes().Remove("a");
    EXPECT_EQ(outline(tree), "b");
    EXPECT_EQ(tree.Nodes().Count(), 1);
    for (const char *gone : {"a", "a1", "deep"})
        EXPECT_EQ(vq::test::errorNumber([&] { tree.Nodes().Item(gone); }), vq::Error::ElementNotFound)
            << gone;
    EXPECT_EQ(vq::test::errorNumber([&] { tree.Nodes().Remove("a"); }), vq::Error::ElementNotFound);
    tree.Nodes().Add("b", TreeNodes::tvwChild, "deep", "Again"); // a removed key is free again
    EXPECT_EQ(tree.Nodes().Item("deep").Parent(), tree.Nodes().Item("b"));
    tree.Nodes().Clear();
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_NO_THROW(tree.Nodes().Add({}, TreeNodes::tvwLast, "b", "B"));
}

TEST(TreeView, TheUserPicksByClickOrKeyboardAndKeyPressMayChangeTheCharacter)
{
    vq::TreeView tree;
    addBase(tree);
    tree.expandAll();
    tree.resize(200, 200);
    ASSERT_TRUE(vq::test::showActive(&tree));
    QStringList picked;
    QObject::connect(&tree, &vq::TreeView::NodeClick, [&](vq::TreeNode n) { picked << n.Key(); });
    QList<short> typed;
    short replacement = -1;
    QObject::connect(&tree, &vq::TreeView::KeyPress, [&](short &k) {
        typed << k;
        if (replacement >= 0)
            k = replacement;
    });
    const auto centreOf = [&](const char *key) {
        return tree.visualItemRect(tree.Nodes().Item(key).item()).center();
    };

    tree.setSelectedItem(tree.Nodes().Item("a")); // the program's choice is no pick
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("a2"));
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down); // moves nowhere: no pick
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centreOf("b")); // the selected node again
    QTest::mouseClick(
        tree.viewport(), Qt::LeftButton, {}, QPoint(5, tree.viewport()->height() - 3)); // no node
    EXPECT_EQ(picked, (QStringList {"a2", "b", "b"}));

    // Typing a node's first letter moves to it, unless the handler discards or replaces the letter.
    tree.setSelectedItem(tree.Nodes().Item("a1"));
    QTest::keyClick(&tree, Qt::Key_Return);
    replacement = 0;
    QTest::keyClick(&tree, Qt::Key_B);
    EXPECT_EQ(tree.SelectedItem().Key(), "a1");
    replacement = 'b';
    QTest::keyClick(&tree, Qt::Key_X);
    EXPECT_EQ(tree.SelectedItem().Key(), "b");
    EXPECT_EQ(typed, (QList<short> {13, 'b', 'x'}));
}
