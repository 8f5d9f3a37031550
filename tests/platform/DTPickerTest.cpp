#include "platform/DTPicker.h"
#include "platform/Error.h"
#include "support/Errors.h"
#include "support/Forms.h"

#include <QCalendarWidget>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC);
}

TEST(DTPickerValue, TakesDatesAutomationDatesAndDateTextsWithinItsRange)
{
    vq::DTPicker picker;
    const QVariant before = at(2000, 1, 1);
    struct Case
    {
        QVariant in;
        QVariant out; // null: cleared
        int error;
    };
    const Case cases[] = {
        {QDate(2001, 4, 18), at(2001, 4, 18), 0},
        {36999.5, at(2001, 4, 18, 12), 0}, // day 36999 after 30 December 1899, and a half
        {0, at(1899, 12, 30), 0},
        {QStringLiteral("4/18/2001 3:30 PM"), at(2001, 4, 18, 15, 30), 0},
        {QVariant(), QVariant(), 0},
        {QDate(1601, 1, 1), at(1601, 1, 1), 0},
        {QDate(9999, 12, 31), at(9999, 12, 31), 0},
        {QDate(1600, 12, 31), before, vq::Error::InvalidPropertyValue},
        {-1e300, before, vq::Error::InvalidPropertyValue},
        {QStringLiteral("99-99-9999"), before, vq::Error::TypeMismatch},
        {QPoint(1, 2), before, vq::Error::TypeMismatch},
    };
    for (const Case &c : cases) {
        picker.setValue(before);
        EXPECT_EQ(vq::test::errorNumber([&] { picker.setValue(c.in); }), c.error)
            << c.in.toString().toStdString();
        EXPECT_EQ(picker.Value(), c.out) << c.in.toString().toStdString();
    }
}

TEST(DTPickerLife, DeletedWithItsCalendarOpen)
{
    auto *picker = new vq::DTPicker;
    picker->show();
    picker->dropDown();
    ASSERT_TRUE(picker->isDroppedDown());
    // A digit typed into the calendar: Qt's typed-date editor, were it open, would leak with it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    QSignalSpy destroyed(picker->calendar(), &QObject::destroyed);
    delete picker;
    EXPECT_EQ(destroyed.count(), 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

class PickerForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(form.isActive());
        picker->setValue(at(2001, 4, 18, 9, 30));
        vq::test::Form::focus(field);
    }
    void TearDown() override { picker->closeUp(); }

    vq::test::Form form {[](QWidget *parent) { return new vq::DTPicker(parent); }};
    vq::DTPicker *picker = static_cast<vq::DTPicker *>(form.widget);
    QWidget *field = picker->findChild<QLineEdit *>("field");
    QToolButton *button = picker->findChild<QToolButton *>("dropDownButton");
};

TEST_F(PickerForm, TheCalendarOpensOnF4AltDownAndAClickAndEveryClosingRaisesCloseUp)
{
    QSignalSpy closeUps(picker, &vq::DTPicker::CloseUp);
    using Stroke = std::pair<Qt::Key, Qt::KeyboardModifiers>;
    const std::pair<Stroke, Stroke> cases[] = {
        {{Qt::Key_F4, {}}, {Qt::Key_Escape, {}}},
        {{Qt::Key_Down, Qt::AltModifier}, {Qt::Key_F4, {}}},
        {{Qt::Key_F4, {}}, {Qt::Key_Up, Qt::AltModifier}},
    };
    for (const auto &[open, close] : cases) {
        QTest::keyClick(field, open.first, open.second);
        ASSERT_TRUE(picker->isDroppedDown());
        EXPECT_EQ(picker->calendar()->selectedDate(), QDate(2001, 4, 18));
        QTest::keyClick(QApplication::focusWidget(), close.first, close.second);
        EXPECT_FALSE(picker->isDroppedDown());
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
    // A click outside the calendar reaches it through the window, as the window system delivers it (above
    // the picker: the calendar hangs below).
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(picker->isDroppedDown());
    QTest::mouseClick(
        form.window->windowHandle(), Qt::LeftButton, {}, form.before->mapTo(form.window.get(), QPoint(5, 5)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !picker->isDroppedDown(); }, 5000));
    EXPECT_EQ(closeUps.count(), 4);
    EXPECT_EQ(picker->Value(), at(2001, 4, 18, 9, 30));
}

TEST_F(PickerForm, TabStopDecidesTheTabOrderAndGotFocusMeansFromOutside)
{
    QSignalSpy got(picker, &vq::DTPicker::GotFocus);
    for (const bool tabStop : {false, true}) {
        picker->setTabStop(tabStop);
        vq::test::Form::focus(form.before);
        QTest::keyClick(form.before, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), tabStop ? field : form.after);
    }
    EXPECT_EQ(got.count(), 1);
    // To its own calendar and back is not coming from outside.
    QTest::keyClick(field, Qt::Key_F4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(got.count(), 1);
}

} // namespace
