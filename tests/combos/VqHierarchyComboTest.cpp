#include "combos/VqHierarchyCombo.h"
#include "frame/ControlFactory.h"
#include "platform/TreeView.h"
#include "platform/Twips.h"
#include "support/Errors.h"
#include "support/Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A form laid out by position, as the control's hosts place it: a field above, the combo, a field below
// that the open tree hangs over.
class HierarchyForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->resize(400, 300);
        before = new QLineEdit(form.get());
        before->setObjectName("before");
        before->setGeometry(10, 5, 150, 22);
        combo = qobject_cast<VqHierarchyCombo *>(vq::CreateControl("VqHierarchyCombo", form.get()));
        ASSERT_NE(combo, nullptr);
        combo->move(10, 35);
        after = new QLineEdit(form.get());
        after->setObjectName("after");
        after->setGeometry(10, 70, 150, 22);
        after->stackUnder(combo);
        ASSERT_TRUE(vq::test::showActive(form.get()));
        txtcombo = combo->findChild<QComboBox *>("txtcombo");
        tree = combo->findChild<vq::TreeView *>("treCombo");
        ASSERT_NE(txtcombo, nullptr);
        ASSERT_NE(tree, nullptr);
        combo->AddRoot("fruit", "Fruit");
        combo->AddChild("fruit", "apple", "Apple");
        combo->AddChild("fruit", "pear", "Pear");
        combo->AddRoot("veg", "Vegetables");
        tree->expandAll();
    }

    int heightTwips() const { return combo->heightTwips(); }
    bool isOpen() const { return tree->isVisible() && QApplication::focusWidget() == tree; }

    void clickNode(const char *key)
    {
        const QRect r = tree->visualItemRect(tree->Nodes().Item(key).item());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    }

    std::unique_ptr<QWidget> form;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    VqHierarchyCombo *combo = nullptr;
    QComboBox *txtcombo = nullptr;
    vq::TreeView *tree = nullptr;
};

} // namespace

TEST_F(HierarchyForm, ClickingTheFieldOpensTheTreeAndPicksCopyTheNodeText)
{
    // Before the first opening the control keeps the height its host gave it, with the tree hidden.
    EXPECT_EQ(heightTwips(), 2430);
    EXPECT_FALSE(tree->isVisible());

    QTest::mouseClick(txtcombo, Qt::LeftButton);
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(heightTwips(), 2400);

    clickNode("pear");
    EXPECT_EQ(combo->Text(), "Pear");
    clickNode("fruit"); // a root is picked exactly as a child
    EXPECT_EQ(combo->Text(), "Fruit");
    EXPECT_TRUE(isOpen()); // picking does not close

    QTest::mouseClick(after, Qt::LeftButton);
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(heightTwips(), 405);
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(combo->Text(), "Fruit"); // folding keeps the last pick

    // Clicking the field's drop-down arrow opens the tree, not a list of its own.
    const QRect field = txtcombo->rect();
    QTest::mouseClick(txtcombo, Qt::LeftButton, {}, QPoint(field.right() - 4, field.center().y()));
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(HierarchyForm, KeyboardUserTabsInPicksAndLeavesWithEnterOrShiftTab)
{
    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(isOpen());
    tree->setSelectedItem(tree->Nodes().Item("fruit"));
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(combo->Text(), "Apple");

    // ENTER queues a TAB, which leaves the control for the next field and folds the tree.
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == after; }));
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(heightTwips(), 405);
    EXPECT_EQ(combo->Text(), "Apple");

    // Shift+TAB from the field below enters the control from behind and opens it ...
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(isOpen());
    // ... and from the open tree goes on backwards instead of opening it again.
    QTest::keyClick(tree, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before);
    EXPECT_FALSE(tree->isVisible());
}

TEST_F(HierarchyForm, AddFailuresReachTheCallerAndAddNothing)
{
    combo->AddChild("fruit", "plum", "Plum"); // each child after the previous one
    const vq::TreeNode fruit = tree->Nodes().Item("fruit");
    ASSERT_EQ(fruit.Children(), 3);
    EXPECT_EQ(fruit.Child(0).Text(), "Apple");
    EXPECT_EQ(fruit.Child(2).Text(), "Plum");

    EXPECT_EQ(vq::test::errorNumber([&] { combo->AddRoot("apple", "Again"); }), vq::Error::KeyNotUnique);
    EXPECT_EQ(vq::test::errorNumber([&] { combo->AddChild("nuts", "walnut", "Walnut"); }),
        vq::Error::ElementNotFound);
    EXPECT_EQ(
        vq::test::errorNumber([&] { combo->AddChild("", "walnut", "Walnut"); }), vq::Error::ElementNotFound);
    EXPECT_EQ(tree->Nodes().Count(), 5);
    EXPECT_EQ(tree->topLevelItemCount(), 2);

    // A text in no node is accepted and shown.
    combo->setProperty("Text", "Nuts");
    EXPECT_EQ(txtcombo->currentText(), "Nuts");
}

TEST_F(HierarchyForm, ResizeGivesFieldAndTreeTheWidthLessFiftyAndIgnoresARefusedWidth)
{
    struct Case
    {
        int width;
        int field;
    };
    // Each width after the one before: a refused width leaves the field as the previous step left it.
    const Case cases[] = {{3000, 2950}, {2000, 1950}, {40, 1950}, {60, 10}, {1000, 950}};
    for (const Case &c : cases) {
        combo->resizeTwips(c.width, 405);
        EXPECT_NEAR(vq::twips::geometry(txtcombo).width(), c.field, 15) << c.width;
        EXPECT_EQ(tree->width(), txtcombo->width()) << c.width;
        EXPECT_NEAR(vq::twips::geometry(tree).height(), 1965, 15);
        EXPECT_NEAR(vq::twips::geometry(tree).top(), 405, 15);
    }
}
