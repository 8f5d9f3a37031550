#include "dates/VqDTPicker.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/TempRegistry.h"
#include "platform/DTPicker.h"
#include "platform/Error.h"
#include "platform/Twips.h"
#include "support/Errors.h"
#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

QDateTime day(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC);
}

QString todayShort()
{
    return QLocale().toString(QDate::currentDate(), QStringLiteral("M/d/yyyy"));
}

// A shown, active form: a field before the date field and one after it, and a recording message
// component for the warnings.
class DateForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(form.isActive());
        ASSERT_NE(date, nullptr);
        date->InitProperties();
        text1 = date->findChild<QLineEdit *>("Text1");
        picker = date->findChild<vq::DTPicker *>("DTPicker1");
        image1 = date->findChild<QLabel *>("Image1");
        ASSERT_NE(text1, nullptr);
        ASSERT_NE(picker, nullptr);
        ASSERT_NE(image1, nullptr);
    }

    void TearDown() override { picker->closeUp(); }

    void enter() { vq::test::Form::focus(text1); }
    void leave() { vq::test::Form::focus(after); }
    QWidget *focused() const { return QApplication::focusWidget(); }

    // Opens the calendar the user's way: F4 in the field.
    void openCalendar()
    {
        QTest::keyClick(text1, Qt::Key_F4);
        ASSERT_TRUE(QTest::qWaitFor([this] { return picker->isDroppedDown(); }, 5000));
    }
    void clickDay(int day)
    {
        auto *view = picker->calendar()->findChild<QTableView *>();
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                const QModelIndex i = view->model()->index(r, c);
                if (i.data().toString() == QString::number(day)) {
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(i).center());
                    return;
                }
            }
        FAIL() << "no cell for day " << day;
    }

    TempRegistry registry;
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    std::unique_ptr<vq::test::ProcessRegistration> registration =
        std::make_unique<vq::test::ProcessRegistration>(&factory);

    vq::test::Form form {[](QWidget *parent) { return vq::CreateControl("VqDTPicker", parent); }};
    QLineEdit *before = form.before;
    QLineEdit *after = form.after;
    VqDTPicker *date = qobject_cast<VqDTPicker *>(form.widget);
    QLineEdit *text1 = nullptr;
    vq::DTPicker *picker = nullptr;
    QLabel *image1 = nullptr;
};

TEST_F(DateForm, TypedDigitsGetTheirDashesAndEveryTextThatIsADateMovesValue)
{
    enter();
    EXPECT_TRUE(image1->isVisible());
    QTest::keyClicks(text1, "12252001999");
    EXPECT_EQ(text1->text(), "12-25-2001");
    EXPECT_EQ(date->Value(), day(2001, 12, 25));

    // Backspacing and retyping: the dash comes back in front of the next digit.
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), "12-2");
    QTest::keyClick(text1, Qt::Key_Backspace);
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), "12");
    QTest::keyClicks(text1, "/a");
    EXPECT_EQ(text1->text(), "12-");

    // Day and month alone already read as a date of this year.
    QTest::keyClicks(text1, "24");
    EXPECT_EQ(text1->text(), "12-24");
    EXPECT_EQ(date->Value(), day(QDate::currentDate().year(), 12, 24));

    // The dash is appended at the end even with the caret at the start; the digit follows it.
    text1->setText("10");
    text1->setCursorPosition(0);
    QTest::keyClick(text1, Qt::Key_3);
    EXPECT_EQ(text1->text(), "10-3");

    // Pasting is refused like any other control character.
    QApplication::clipboard()->setText("1/2/2003");
    text1->clear();
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text1->text(), "");
}

TEST_F(DateForm, EnterAndDownMoveOnUpMovesBack)
{
    const std::pair<Qt::Key, QLineEdit *> cases[] = {
        {Qt::Key_Return, after}, {Qt::Key_Down, after}, {Qt::Key_Up, before}};
    for (const auto &[key, target] : cases) {
        enter();
        QTest::keyClick(text1, key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == target; }, 5000)) << key;
    }
}

TEST(VqDTPickerInADialog, EnterMovesOnWithoutPressingTheDefaultButton)
{
    vq::test::Form dialog([](QWidget *parent) { return vq::CreateControl("VqDTPicker", parent); }, true);
    ASSERT_TRUE(dialog.isActive());
    auto *text1 = dialog.widget->findChild<QLineEdit *>("Text1");
    vq::test::Form::focus(text1);
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog.after; }, 5000));
    EXPECT_EQ(dialog.saveClicks, 0);
    EXPECT_TRUE(dialog.window->isVisible());
}

TEST_F(DateForm, F4OpensTheCalendarAndAPickFillsTheFieldAndReturnsTheFocus)
{
    picker->setValue(day(2001, 4, 18));
    enter();
    QTest::keyClicks(text1, "0");
    openCalendar();
    EXPECT_TRUE(image1->isVisible()) << "the calendar is part of the control";
    clickDay(9);
    EXPECT_FALSE(picker->isDroppedDown());
    EXPECT_EQ(focused(), text1);
    EXPECT_FALSE(picker->TabStop());
    EXPECT_EQ(text1->text(), "4/9/2001");
    EXPECT_EQ(date->Value(), day(2001, 4, 9));
    EXPECT_TRUE(image1->isVisible());

    // Closed with Escape, the field still takes the picker's date.
    text1->setText("12");
    openCalendar();
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_EQ(focused(), text1);
    EXPECT_FALSE(picker->TabStop());
    EXPECT_EQ(text1->text(), "4/9/2001");

    // Picked with the keys.
    openCalendar();
    QTest::keyClick(focused(), Qt::Key_Right);
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focused(), text1);
    EXPECT_EQ(text1->text(), "4/10/2001");
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(DateForm, ThePickerWithoutF4SendsTheFocusBackToTheField)
{
    before->setFocus();
    picker->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == text1; }, 5000));
    EXPECT_FALSE(picker->isDroppedDown());

    // Its button still opens the calendar; the focus has gone back to the field first.
    QTest::mouseClick(picker->findChild<QToolButton *>(), Qt::LeftButton);
    ASSERT_TRUE(picker->isDroppedDown());
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_EQ(focused(), text1);
    EXPECT_FALSE(picker->TabStop());
}

TEST_F(DateForm, LeavingChecksTheRangeInclusivelyAndMendsWhatIsNoDate)
{
    date->setMinDate(day(2001, 1, 1));
    date->setMaxDate(day(2001, 12, 31));
    struct Case
    {
        QString typed;
        QString textAfter;
        bool warned;
    };
    const Case cases[] = {
        {"01-01-2001", "01-01-2001", false},
        {"12-31-2001", "12-31-2001", false},
        {"  6/15/2001 ", "6/15/2001", false},
        {"01-01-2002", "01-01-2002", true},
        {"12-31-2000", "12-31-2000", true},
        {"99-99-9999", todayShort(), false},
        {"31-12-2001", todayShort(), false}, // month first here: no date
        {"1/1/1500", todayShort(), false}, // a date the picker cannot hold
        {"    ", "", false},
        {"", "", false},
    };
    for (const Case &c : cases) {
        recorder.calls.clear();
        enter();
        text1->setText(c.typed);
        leave();
        EXPECT_EQ(text1->text(), c.textAfter) << c.typed.toStdString();
        if (c.warned) {
            ASSERT_EQ(recorder.calls.size(), 1) << c.typed.toStdString();
            EXPECT_EQ(recorder.calls[0].text, "Date Should be between [1/1/2001] And [12/31/2001]");
            EXPECT_EQ(recorder.calls[0].title, "Warning!");
            EXPECT_EQ(focused(), text1) << c.typed.toStdString();
            EXPECT_TRUE(image1->isVisible());
        } else {
            EXPECT_TRUE(recorder.calls.isEmpty()) << c.typed.toStdString();
            EXPECT_EQ(focused(), after) << c.typed.toStdString();
            EXPECT_FALSE(image1->isVisible());
        }
    }
    // The refused date has already become Value.
    enter();
    text1->setText("2/3/2005");
    leave();
    EXPECT_EQ(date->Value(), day(2005, 2, 3));
}

TEST_F(DateForm, BoundsTheWrongWayRoundRefuseEveryDateButNotEmptyOrNoDate)
{
    date->setMinDate(day(2001, 12, 31));
    date->setMaxDate(day(2001, 1, 1));
    const std::pair<QString, bool> cases[] = {
        {"6/1/2001", true}, {"12/31/2001", true}, {"1/1/2001", true}, {"", false}, {"ab", false}};
    for (const auto &[typed, refused] : cases) {
        recorder.calls.clear();
        enter();
        text1->setText(typed);
        leave();
        EXPECT_EQ(recorder.calls.size(), refused ? 1 : 0) << typed.toStdString();
        EXPECT_EQ(focused(), refused ? static_cast<QWidget *>(text1) : after) << typed.toStdString();
    }
}

TEST_F(DateForm, WithoutAMessageComponentTheFocusStillReturns)
{
    registration.reset();
    date->setMaxDate(day(2001, 12, 31));
    enter();
    text1->setText("1/1/2002");
    leave();
    EXPECT_TRUE(recorder.calls.isEmpty());
    EXPECT_EQ(focused(), text1);
}

TEST_F(DateForm, ValueFromTheHostLeavesTheTextButTextMovesValue)
{
    text1->setText("4/18/2001");
    date->setValue(day(2010, 5, 6));
    EXPECT_EQ(date->Text(), "4/18/2001");
    EXPECT_EQ(date->Value(), day(2010, 5, 6));
    date->setText("7/8/2009");
    EXPECT_EQ(date->Value(), day(2009, 7, 8));
    EXPECT_EQ(vq::test::errorNumber([&] { date->setValue("not a date"); }), vq::Error::TypeMismatch);
    EXPECT_EQ(
        vq::test::errorNumber([&] { date->setValue(QDate(1600, 1, 1)); }), vq::Error::InvalidPropertyValue);
}

TEST_F(DateForm, UnderADayFirstLocaleTheDigitsReadDayMonthYear)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    date->setMinDate(day(2001, 1, 1));
    date->setMaxDate(day(2001, 12, 31));

    enter();
    QTest::keyClicks(text1, "18042001");
    EXPECT_EQ(text1->text(), "18-04-2001");
    EXPECT_EQ(date->Value(), day(2001, 4, 18));
    leave();
    EXPECT_EQ(focused(), after);
    EXPECT_TRUE(recorder.calls.isEmpty());

    enter();
    text1->setText("31-12-2002");
    leave();
    ASSERT_EQ(recorder.calls.size(), 1);
    EXPECT_EQ(recorder.calls[0].text, "Date Should be between [01/01/2001] And [31/12/2001]");

    openCalendar();
    clickDay(9);
    EXPECT_EQ(text1->text(), "09/12/2002");
    QLocale::setDefault(previous);
}

TEST_F(DateForm, SavedInOrderWithTodayAsTheValueDefaultAndShownAsSaved)
{
    vq::MemoryPropertyBag bag;
    date->setText("4/18/2001");
    date->setMaxDate(day(2001, 12, 31));
    date->setValue(day(2001, 4, 18));
    date->WriteProperties(bag);
    EXPECT_EQ(bag.keys(),
        (QStringList {"CausesValidation", "MaxLength", "Text", "MaxDate", "MinDate", "Value", "Enabled"}));
    EXPECT_EQ(bag.value("MaxLength"), 10);
    EXPECT_EQ(bag.value("MaxDate").toDateTime(), day(2001, 12, 31));

    auto other = std::unique_ptr<VqDTPicker>(qobject_cast<VqDTPicker *>(vq::CreateControl("VqDTPicker")));
    other->ReadProperties(bag);
    EXPECT_EQ(other->Text(), "4/18/2001");
    EXPECT_EQ(other->MaxDate(), day(2001, 12, 31));
    EXPECT_EQ(other->MinDate(), day(1601, 1, 1));
    EXPECT_EQ(other->Value(), day(2001, 4, 18));
    // Shown, it holds today again; the text stays as saved.
    other->show();
    EXPECT_EQ(other->Value(),
        day(QDate::currentDate().year(), QDate::currentDate().month(), QDate::currentDate().day()));
    EXPECT_EQ(other->Text(), "4/18/2001");

    // A form that omits defaults stores no Value when it was today's date at the moment of saving.
    vq::MemoryPropertyBag compact;
    compact.setOmitDefaults(true);
    other->WriteProperties(compact);
    EXPECT_EQ(compact.keys(), (QStringList {"Text", "MaxDate"}));

    // Missing keys give the defaults; saved bounds may be texts or automation dates, nothing else.
    vq::MemoryPropertyBag empty;
    empty.WriteProperty("MaxDate", "12/31/2020");
    empty.WriteProperty("MinDate", 36892.0);
    other->ReadProperties(empty);
    EXPECT_EQ(other->MaxDate(), day(2020, 12, 31));
    EXPECT_EQ(other->MinDate(), day(2001, 1, 1));
    EXPECT_EQ(other->Text(), "");
    vq::MemoryPropertyBag again;
    other->WriteProperties(again);
    EXPECT_EQ(again.value("MaxLength"), 10);
    EXPECT_EQ(again.value("CausesValidation"), true);
    empty.WriteProperty("MaxDate", "soon");
    EXPECT_TRUE(vq::test::errorText([&] { other->ReadProperties(empty); }).contains("MaxDate"));
}

TEST_F(DateForm, ASavedMaxLengthLimitsTypingButNotTheHost)
{
    vq::MemoryPropertyBag bag;
    bag.WriteProperty("MaxLength", 4);
    date->ReadProperties(bag);
    enter();
    QTest::keyClicks(text1, "12252001");
    EXPECT_EQ(text1->text(), "12-2");
    date->setText("12/25/2001 10:30");
    EXPECT_EQ(date->Text(), "12/25/2001 10:30");
}

TEST_F(DateForm, ResizeIgnoresRefusedWidthsAndPlacesTheMarkerBesideThePicker)
{
    using vq::twips::geometry;
    auto near = [](int a, int b) { return std::abs(a - b) <= 15; };
    date->resizeTwips(3030, 330);
    EXPECT_TRUE(near(geometry(picker).width(), 2500)) << geometry(picker).width();
    EXPECT_TRUE(near(geometry(text1).width(), 2260)) << geometry(text1).width();
    EXPECT_TRUE(near(geometry(image1).x(), 2520)) << geometry(image1).x();

    // Too narrow for the picker: it keeps its width, and the rest follows from that.
    date->resizeTwips(450, 330);
    EXPECT_TRUE(near(geometry(picker).width(), 2500));
    EXPECT_TRUE(near(geometry(image1).x(), 2520));
    // Wide enough for the picker, not for the field in front of it.
    date->resizeTwips(700, 330);
    EXPECT_TRUE(near(geometry(picker).width(), 170));
    EXPECT_TRUE(near(geometry(text1).width(), 2260));
    EXPECT_TRUE(near(geometry(image1).x(), 190));
}

} // namespace
