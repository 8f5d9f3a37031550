#include "platform/DTPicker.h"
#include "platform/Error.h"
#include "support/Errors.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

QDateTime utc(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC);
}

TEST(DTPickerValue, TakesDatesNumbersAndTextsWithinItsRange)
{
    vq::DTPicker picker;
    struct Case
    {
        QVariant in;
        QVariant out; // null: cleared
        int error; // 0: taken
    };
    const Case cases[] = {
        {QDate(2001, 4, 18), utc(2001, 4, 18), 0},
        {QDateTime(QDate(2001, 4, 18), QTime(15, 30), Qt::UTC),
            QDateTime(QDate(2001, 4, 18), QTime(15, 30), Qt::UTC), 0},
        // Automation dates: 36999 is 18 April 2001, 0 is 30 December 1899, .5 is noon.
        {36999.0, utc(2001, 4, 18), 0},
        {0, utc(1899, 12, 30), 0},
        {36999.5, QDateTime(QDate(2001, 4, 18), QTime(12, 0), Qt::UTC), 0},
        {QStringLiteral("4/18/2001"), utc(2001, 4, 18), 0},
        {QVariant(), QVariant(), 0},
        {QDate(1601, 1, 1), utc(1601, 1, 1), 0},
        {QDate(9999, 12, 31), utc(9999, 12, 31), 0},
        {QDate(1600, 12, 31), utc(2000, 1, 1), vq::Error::InvalidPropertyValue},
        {-1e300, utc(2000, 1, 1), vq::Error::InvalidPropertyValue},
        {QStringLiteral("99-99-9999"), utc(2000, 1, 1), vq::Error::TypeMismatch},
        {QPoint(1, 2), utc(2000, 1, 1), vq::Error::TypeMismatch},
    };
    for (const Case &c : cases) {
        picker.setValue(QDate(2000, 1, 1));
        const int error = vq::test::errorNumber([&] { picker.setValue(c.in); });
        EXPECT_EQ(error, c.error) << c.in.toString().toStdString();
        EXPECT_EQ(picker.Value(), c.out) << c.in.toString().toStdString();
    }
}

TEST(DTPickerValue, ChangeOnlyWhenTheDateChangesAndTheFieldShowsTheShortDate)
{
    vq::DTPicker picker;
    auto *field = picker.findChild<QLineEdit *>("field");
    ASSERT_NE(field, nullptr);
    picker.setValue(QDate(2001, 4, 18));
    QSignalSpy changes(&picker, &vq::DTPicker::Change);
    picker.setValue(QDate(2001, 4, 18));
    EXPECT_EQ(changes.count(), 0);
    picker.setValue(QDate(2001, 4, 19));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(field->text(), "4/19/2001");
    picker.setValue(QVariant());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(field->text(), "");
}

// A form with a field before and after the picker, shown and active.
class PickerForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(form.get());
        before = new QLineEdit(form.get());
        picker = new vq::DTPicker(form.get());
        after = new QLineEdit(form.get());
        layout->addWidget(before);
        layout->addWidget(picker);
        layout->addWidget(after);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        field = picker->findChild<QLineEdit *>("field");
        button = picker->findChild<QToolButton *>("dropDownButton");
        ASSERT_NE(field, nullptr);
        ASSERT_NE(button, nullptr);
        picker->setValue(QDate(2001, 4, 18));
    }

    void TearDown() override { picker->closeUp(); }

    // The calendar cell that shows day of the month on display (days 7 to 22 appear once in the grid).
    QPoint cellOfDay(int day)
    {
        auto *view = picker->calendar()->findChild<QTableView *>();
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                const QModelIndex i = view->model()->index(r, c);
                if (i.data().toString() == QString::number(day))
                    return view->visualRect(i).center();
            }
        return {};
    }
    QWidget *calendarView() { return picker->calendar()->findChild<QTableView *>()->viewport(); }

    std::unique_ptr<QWidget> form;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    vq::DTPicker *picker = nullptr;
    QLineEdit *field = nullptr;
    QToolButton *button = nullptr;
};

TEST_F(PickerForm, TheCalendarOpensOnF4AltDownAndAClickAndEveryClosingRaisesCloseUp)
{
    QSignalSpy closeUps(picker, &vq::DTPicker::CloseUp);
    field->setFocus();

    // Escape, F4 and Alt+Up close without picking.
    const std::pair<Qt::Key, Qt::KeyboardModifiers> openers[] = {
        {Qt::Key_F4, Qt::NoModifier}, {Qt::Key_Down, Qt::AltModifier}, {Qt::Key_F4, Qt::NoModifier}};
    const std::pair<Qt::Key, Qt::KeyboardModifiers> closers[] = {
        {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F4, Qt::NoModifier}, {Qt::Key_Up, Qt::AltModifier}};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(field, openers[i].first, openers[i].second);
        ASSERT_TRUE(picker->isDroppedDown()) << i;
        EXPECT_EQ(picker->calendar()->selectedDate(), QDate(2001, 4, 18));
        QTest::keyClick(QApplication::focusWidget(), closers[i].first, closers[i].second);
        EXPECT_FALSE(picker->isDroppedDown()) << i;
        EXPECT_EQ(closeUps.count(), i + 1);
    }

    // A click on the button opens it; a click outside it (above: the calendar hangs below the picker)
    // closes it.
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(picker->isDroppedDown());
    // Through the window, as the window system delivers it: that is where a pop-up hears of it.
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, before->mapTo(form.get(), QPoint(5, 5)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !picker->isDroppedDown(); }, 5000));
    EXPECT_EQ(closeUps.count(), 4);
    EXPECT_EQ(picker->Value(), utc(2001, 4, 18));
}

TEST_F(PickerForm, APickByClickOrByKeysBecomesValueBeforeCloseUpAndKeepsTheTimeOfDay)
{
    picker->setValue(QDateTime(QDate(2001, 4, 18), QTime(9, 30), Qt::UTC));
    QVariant seenAtCloseUp;
    QObject::connect(picker, &vq::DTPicker::CloseUp, [&] { seenAtCloseUp = picker->Value(); });
    field->setFocus();

    QTest::keyClick(field, Qt::Key_F4);
    ASSERT_TRUE(picker->isDroppedDown());
    const QPoint cell = cellOfDay(9);
    ASSERT_FALSE(cell.isNull());
    QTest::mouseClick(calendarView(), Qt::LeftButton, {}, cell);
    EXPECT_FALSE(picker->isDroppedDown());
    EXPECT_EQ(seenAtCloseUp, QDateTime(QDate(2001, 4, 9), QTime(9, 30), Qt::UTC));
    EXPECT_EQ(QApplication::focusWidget(), field);

    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(picker->isDroppedDown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(picker->isDroppedDown());
    EXPECT_EQ(seenAtCloseUp, QDateTime(QDate(2001, 4, 10), QTime(9, 30), Qt::UTC));
}

TEST_F(PickerForm, TabStopDecidesTheTabOrderAndGotFocusMeansFromOutside)
{
    QSignalSpy got(picker, &vq::DTPicker::GotFocus);
    picker->setTabStop(false);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(got.count(), 0);

    picker->setTabStop(true);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(got.count(), 1);

    // To its own calendar and back is not leaving.
    QTest::keyClick(field, Qt::Key_F4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(got.count(), 1);

    // Out of the tab order, a click still gives it the focus.
    picker->setTabStop(false);
    after->setFocus();
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(got.count(), 2);
}

TEST_F(PickerForm, TheFieldStepsByDayAndTakesATypedDateOrPutsTheOldOneBack)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(picker->Value(), utc(2001, 4, 17));
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(picker->Value(), utc(2001, 4, 19));

    field->selectAll();
    QTest::keyClicks(field, "12/25/2001");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(picker->Value(), utc(2001, 12, 25));

    field->selectAll();
    QTest::keyClicks(field, "no date");
    after->setFocus();
    EXPECT_EQ(picker->Value(), utc(2001, 12, 25));
    EXPECT_EQ(field->text(), "12/25/2001");
}

} // namespace
