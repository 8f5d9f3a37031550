#include "dates/VqDTPicker.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/TempRegistry.h"
#include "platform/DTPicker.h"
#include "platform/Twips.h"
#include "support/CalendarClicks.h"
#include "support/Errors.h"
#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

#include <QClipboard>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace {

QDateTime day(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC);
}

QWidget *makeDate(QWidget *parent)
{
    return vq::CreateControl("VqDTPicker", parent);
}

// The date field on a shown, active form between two plain fields, warnings going to a recorder.
class DateForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(form.isActive());
        date->InitProperties();
    }
    void TearDown() override { picker->closeUp(); }

    void enter() { vq::test::Form::focus(text1); }
    void leave() { vq::test::Form::focus(form.after); }
    static QWidget *focused() { return QApplication::focusWidget(); }
    void openCalendar()
    {
        QTest::keyClick(text1, Qt::Key_F4);
        ASSERT_TRUE(QTest::qWaitFor([this] { return picker->isDroppedDown(); }, 5000));
    }

    TempRegistry registry;
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    std::unique_ptr<vq::test::ProcessRegistration> registration =
        std::make_unique<vq::test::ProcessRegistration>(&factory);

    vq::test::Form form {makeDate};
    VqDTPicker *date = qobject_cast<VqDTPicker *>(form.widget);
    QLineEdit *text1 = date->findChild<QLineEdit *>("Text1");
    vq::DTPicker *picker = date->findChild<vq::DTPicker *>("DTPicker1");
    QLabel *image1 = date->findChild<QLabel *>("Image1");
};

TEST_F(DateForm, TypedDigitsGetTheirDashesAndEveryTextThatIsADateMovesValue)
{
    enter();
    QTest::keyClicks(text1, "12252001999");
    EXPECT_EQ(text1->text(), "12-25-2001");
    EXPECT_EQ(date->Value(), day(2001, 12, 25));
    // Day and month alone already read as a date of this year.
    text1->clear();
    QTest::keyClicks(text1, "1224");
    EXPECT_EQ(date->Value(), day(QDate::currentDate().year(), 12, 24));
    // The dash goes to the end even with the caret at the start; the digit follows it.
    text1->setText("10");
    text1->setCursorPosition(0);
    QTest::keyClick(text1, Qt::Key_3);
    EXPECT_EQ(text1->text(), "10-3");
    QApplication::clipboard()->setText("1/2/2003");
    text1->clear();
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text1->text(), "");
}

TEST(VqDTPickerKeys, EnterAndDownMoveOnUpMovesBackAndADialogsDefaultButtonStaysUnpressed)
{
    vq::test::Form dialog(makeDate, vq::test::Form::Host::DialogWithDefaultButton);
    ASSERT_TRUE(dialog.isActive());
    auto *text1 = dialog.widget->findChild<QLineEdit *>("Text1");
    for (const auto &[key, target] : {std::pair {Qt::Key_Return, dialog.after}, {Qt::Key_Down, dialog.after},
             {Qt::Key_Up, dialog.before}}) {
        vq::test::Form::focus(text1);
        QTest::keyClick(text1, key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == target; }, 5000)) << key;
    }
    EXPECT_EQ(dialog.saveClicks, 0);
}

TEST_F(DateForm, F4OpensTheCalendarAndClosingItFillsTheFieldAndReturnsTheFocus)
{
    // A time of day survives the pick and is written after the date.
    picker->setValue(QDateTime(QDate(2001, 4, 18), QTime(9, 30), Qt::UTC));
    enter();
    QTest::keyClicks(text1, "0");
    openCalendar();
    EXPECT_TRUE(image1->isVisible()) << "the calendar belongs to the control";
    ASSERT_TRUE(vq::test::clickCalendarDay(picker->calendar(), 9));
    EXPECT_EQ(focused(), text1);
    EXPECT_FALSE(picker->TabStop());
    EXPECT_EQ(text1->text(), "4/9/2001 9:30:00 AM");
    EXPECT_EQ(date->Value(), QDateTime(QDate(2001, 4, 9), QTime(9, 30), Qt::UTC));

    // Closed with Escape, the field still takes the picker's date; picked with keys, the next day.
    picker->setValue(QDate(2001, 4, 9));
    text1->setText("12");
    openCalendar();
    QTest::keyClick(focused(), Qt::Key_Escape);
    EXPECT_EQ(text1->text(), "4/9/2001");
    openCalendar();
    QTest::keyClick(focused(), Qt::Key_Right);
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focused(), text1);
    EXPECT_EQ(text1->text(), "4/10/2001");
    EXPECT_TRUE(image1->isVisible());
    EXPECT_TRUE(recorder.calls.isEmpty());

    // Reached without F4 (a click), the picker hands the focus straight back.
    vq::test::Form::focus(form.before);
    picker->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == text1; }, 5000));
    EXPECT_FALSE(picker->isDroppedDown());
}

TEST_F(DateForm, LeavingChecksTheRangeInclusivelyAndSilentlyMendsWhatIsNoDate)
{
    const QString today = QLocale().toString(QDate::currentDate(), QStringLiteral("M/d/yyyy"));
    struct Case
    {
        QDateTime min, max;
        QString typed, after;
        bool warned;
    };
    const QDateTime jan1 = day(2001, 1, 1), dec31 = day(2001, 12, 31);
    const Case cases[] = {
        {jan1, dec31, "01-01-2001", "01-01-2001", false},
        {jan1, dec31, "  12/31/2001 ", "12/31/2001", false}, // longer than typing allows, and kept
        {jan1, dec31, "01-01-2002", "01-01-2002", true},
        {jan1, dec31, "99-99-9999", today, false},
        {jan1, dec31, "1/1/1500", today, false}, // a date the picker cannot hold
        {jan1, dec31, "    ", "", false},
    };
    QList<vq::test::Call> warnings;
    for (const Case &c : cases) {
        recorder.calls.clear();
        date->setMinDate(c.min);
        date->setMaxDate(c.max);
        enter();
        text1->setText(c.typed);
        leave();
        EXPECT_EQ(text1->text(), c.after) << c.typed.toStdString();
        EXPECT_EQ(recorder.calls.size(), c.warned ? 1 : 0) << c.typed.toStdString();
        EXPECT_EQ(focused(), c.warned ? static_cast<QWidget *>(text1) : form.after) << c.typed.toStdString();
        EXPECT_EQ(image1->isVisible(), c.warned);
        warnings += recorder.calls;
        if (c.warned) {
            EXPECT_EQ(date->Value(), day(2002, 1, 1)) << "the refused date has already become Value";
        }
    }
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0].text, "Date Should be between [1/1/2001] And [12/31/2001]");
    EXPECT_EQ(warnings[0].title, "Warning!");

    // Without a message component nothing is shown, but the focus still comes back.
    registration.reset();
    recorder.calls.clear();
    enter();
    text1->setText("1/1/2002");
    leave();
    EXPECT_TRUE(recorder.calls.isEmpty());
    EXPECT_EQ(focused(), text1);
}

TEST_F(DateForm, UnderADayFirstLocaleTheFieldReadsDayMonthYear)
{
    struct LocaleGuard
    {
        QLocale previous;
        ~LocaleGuard() { QLocale::setDefault(previous); }
    } guard;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    date->setMinDate(day(2001, 1, 1));
    date->setMaxDate(day(2001, 12, 31));

    enter();
    QTest::keyClicks(text1, "18042001");
    EXPECT_EQ(date->Value(), day(2001, 4, 18));
    leave();
    EXPECT_TRUE(recorder.calls.isEmpty());

    enter();
    text1->setText("31-12-2002");
    leave();
    ASSERT_EQ(recorder.calls.size(), 1);
    EXPECT_EQ(recorder.calls[0].text, "Date Should be between [01/01/2001] And [31/12/2001]");
    openCalendar();
    ASSERT_TRUE(vq::test::clickCalendarDay(picker->calendar(), 9));
    EXPECT_EQ(text1->text(), "09/12/2002");
}

TEST_F(DateForm, HostValueLeavesTheTextAndIsSavedWithTodayAsItsDefault)
{
    date->setText("4/18/2001");
    date->setValue(day(2010, 5, 6));
    EXPECT_EQ(date->Text(), "4/18/2001");
    date->setMaxDate(day(2001, 12, 31));

    vq::MemoryPropertyBag bag;
    date->WriteProperties(bag);
    EXPECT_EQ(bag.keys(),
        (QStringList {"CausesValidation", "MaxLength", "Text", "MaxDate", "MinDate", "Value", "Enabled"}));
    EXPECT_EQ(bag.value("MaxLength"), 10);
    std::unique_ptr<VqDTPicker> other(qobject_cast<VqDTPicker *>(makeDate(nullptr)));
    other->ReadProperties(bag);
    EXPECT_EQ(other->MaxDate(), day(2001, 12, 31));
    EXPECT_EQ(other->Value(), day(2010, 5, 6));
    // Shown, it holds today again; the text stays as saved, and today's Value is a default not stored.
    other->show();
    EXPECT_EQ(other->Value().toDate(), QDate::currentDate());
    EXPECT_EQ(other->Text(), "4/18/2001");
    vq::MemoryPropertyBag compact;
    compact.setOmitDefaults(true);
    other->WriteProperties(compact);
    EXPECT_EQ(compact.keys(), (QStringList {"Text", "MaxDate"}));

    // Saved dates may be date texts or automation dates; anything else names the key.
    vq::MemoryPropertyBag saved;
    saved.WriteProperty("MaxLength", 4);
    saved.WriteProperty("MaxDate", "12/31/2020");
    saved.WriteProperty("MinDate", 36892.0);
    date->ReadProperties(saved);
    EXPECT_EQ(date->MaxDate(), day(2020, 12, 31));
    EXPECT_EQ(date->MinDate(), day(2001, 1, 1));
    // The saved MaxLength limits typing only.
    enter();
    QTest::keyClicks(text1, "12252001");
    EXPECT_EQ(text1->text(), "12-2");
    for (const char *key : {"MaxDate", "Value"}) {
        vq::MemoryPropertyBag wrong;
        wrong.WriteProperty(key, "soon");
        EXPECT_TRUE(vq::test::errorText([&] { date->ReadProperties(wrong); }).contains(key)) << key;
    }
}

TEST_F(DateForm, ResizeIgnoresRefusedWidthsAndPlacesTheMarkerBesideThePicker)
{
    using vq::twips::geometry;
    struct Case
    {
        int width, picker, text, marker;
    };
    // Too narrow for the picker (450), it keeps its width; wide enough for it but not for the field (700),
    // the field keeps its own. Twips round to pixels, so within one pixel.
    for (const Case c : {Case {3030, 2500, 2260, 2520}, {450, 2500, 2260, 2520}, {700, 170, 2260, 190}}) {
        date->resizeTwips(c.width, 330);
        EXPECT_NEAR(geometry(picker).width(), c.picker, 15) << c.width;
        EXPECT_NEAR(geometry(text1).width(), c.text, 15) << c.width;
        EXPECT_NEAR(geometry(image1).x(), c.marker, 15) << c.width;
    }
}

} // namespace
