#include "combos/VqComboBox.h"
#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "platform/Twips.h"
#include "support/Forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The General page shown for two combo boxes, reached through class and widget names as a host would.
class ComboPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        first.reset(vq::ClassTable::create("VqComboBox"));
        second.reset(vq::ClassTable::create("VqComboBox"));
        second->setProperty("ValidateData", true);
        second->setProperty("EmptyCheck", true);
        page.reset(qobject_cast<vq::PropertyPage *>(vq::ClassTable::create("VqComboGeneral")));
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(vq::test::showActive(page.get()));
        validate = page->findChild<QCheckBox *>("chkValidateData");
        empty = page->findChild<QCheckBox *>("chkEmptyCheck");
        ASSERT_NE(validate, nullptr);
        ASSERT_NE(empty, nullptr);
    }

    void click(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    std::unique_ptr<QObject> first;
    std::unique_ptr<QObject> second;
    std::unique_ptr<vq::PropertyPage> page;
    QCheckBox *validate = nullptr;
    QCheckBox *empty = nullptr;
};

} // namespace

TEST_F(ComboPage, TheFlagsSitInTheDataSourceFrameAfterTheQueryInTabOrder)
{
    auto *frame = page->findChild<QFrame *>("Frame1");
    EXPECT_EQ(validate->parentWidget(), frame);
    EXPECT_NEAR(vq::twips::geometry(frame).height(), 3405, 15);
    EXPECT_NEAR(vq::twips::fromPixelsX(page->width()), 5925, 15);
    EXPECT_TRUE(frame->geometry().contains(empty->geometry().translated(frame->pos())));

    auto *dsn = page->findChild<QLineEdit *>("txtDSNName");
    dsn->setFocus(Qt::TabFocusReason);
    QStringList order {dsn->objectName()};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList {"txtDSNName", "txtQuery", "chkValidateData", "chkEmptyCheck"}));
}

TEST_F(ComboPage, ActsOnTheFirstSelectedComboOnly)
{
    page->setSelectedControls({first.get(), second.get()});
    EXPECT_FALSE(validate->isChecked());
    EXPECT_FALSE(empty->isChecked());
    EXPECT_FALSE(page->Changed()); // loading is no change

    QSignalSpy firstChanges(first.get(), SIGNAL(propertyChanged(QString)));
    QSignalSpy secondChanges(second.get(), SIGNAL(propertyChanged(QString)));
    click(validate);
    EXPECT_TRUE(page->Changed());
    page->ApplyChanges();
    EXPECT_TRUE(first->property("ValidateData").toBool());
    EXPECT_FALSE(first->property("EmptyCheck").toBool());
    EXPECT_EQ(firstChanges.size(), 2); // both written, each notified
    EXPECT_EQ(secondChanges.size(), 0);

    // Selected first, the second combo's flags show.
    page->setSelectedControls({second.get(), first.get()});
    EXPECT_TRUE(validate->isChecked());
    EXPECT_TRUE(empty->isChecked());
}

TEST_F(ComboPage, EveryClickMarksChangedAndGreyAppliesAsClear)
{
    first->setProperty("ValidateData", true);
    first->setProperty("EmptyCheck", true);
    page->setSelectedControls({first.get()});

    click(empty);
    click(empty); // back as it was, still a change
    EXPECT_TRUE(page->Changed());
    validate->setCheckState(Qt::PartiallyChecked);
    // Typed into the data-source and query fields, text goes nowhere.
    QTest::keyClicks(page->findChild<QLineEdit *>("txtDSNName"), "d:\\x.dsn");
    QTest::keyClicks(page->findChild<QPlainTextEdit *>("txtQuery"), "select 1");
    page->ApplyChanges();
    EXPECT_FALSE(first->property("ValidateData").toBool());
    EXPECT_TRUE(first->property("EmptyCheck").toBool());
    for (const char *name : {"DSNName", "Query"})
        EXPECT_FALSE(first->property(name).isValid()) << name;
}
