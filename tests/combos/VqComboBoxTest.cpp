#include "combos/VqComboBox.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Twips.h"
#include "support/Errors.h"
#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A shown form: a plain field, the combo under test, another plain field; warnings are recorded.
class ComboForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(form.isActive());
        ASSERT_NE(combo, nullptr);
        combo1 = combo->findChild<QComboBox *>("Combo1");
        image1 = combo->findChild<QLabel *>("Image1");
        ASSERT_NE(combo1, nullptr);
        ASSERT_NE(image1, nullptr);
        for (const char *item : {"Apple", "Pear", "Plum"})
            combo->AddItem(item);
    }

    static QWidget *make(QWidget *parent)
    {
        auto *c = vq::CreateControl("VqComboBox", parent);
        c->InitProperties();
        c->setMinimumSize(c->size());
        return c;
    }

    void enter()
    {
        vq::test::Form::focus(form.before);
        QTest::keyClick(form.before, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), combo1);
    }

    // Leaves the combo with the TAB key, as a clerk does.
    void leave() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    vq::test::ProcessRegistration registration {&factory};

    vq::test::Form form {make};
    VqComboBox *combo = qobject_cast<VqComboBox *>(form.widget);
    QComboBox *combo1 = nullptr;
    QLabel *image1 = nullptr;
};

} // namespace

TEST_F(ComboForm, LeavingTrimsAndUnderValidationKeepsTheUserUntilTheEntryIsListed)
{
    struct Case
    {
        const char *typed;
        bool validate;
        bool clearList;
        const char *kept;
        bool warned;
    };
    const Case cases[] = {
        {"  pEAR ", true, false, "pEAR", false}, // case and blanks aside, it is listed
        {"Peach ", true, false, "Peach", true}, {"Peach ", false, false, "Peach", false},
        {"   ", true, true, "", false}, // empty is always accepted, even with an empty list
        {"Pear", true, true, "Pear", true}, // an empty list refuses every entry
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        recorder.calls.clear();
        combo->setValidateData(c.validate);
        combo->setEmptyCheck(true);
        if (c.clearList)
            combo->Clear();
        enter();
        EXPECT_TRUE(image1->isVisible());
        combo1->setEditText(QString());
        QTest::keyClicks(combo1, c.typed);
        QSignalSpy changes(combo, &VqComboBox::Change);
        leave();
        EXPECT_EQ(changes.size(), c.kept != QString(c.typed) ? 1 : 0); // the trim is a change
        EXPECT_EQ(combo->Text(), c.kept);
        EXPECT_EQ(combo->ListIndex(), -1); // a match selects nothing
        if (c.warned) {
            ASSERT_EQ(recorder.calls.size(), 1);
            EXPECT_EQ(recorder.calls[0].text, "Invalid Select");
            EXPECT_EQ(recorder.calls[0].title, "Warning!");
            EXPECT_EQ(QApplication::focusWidget(), combo1);
            EXPECT_TRUE(image1->isVisible());
            // Cleared, the entry lets the user go.
            combo1->setEditText(QString());
            leave();
        } else {
            EXPECT_TRUE(recorder.calls.isEmpty());
        }
        EXPECT_EQ(QApplication::focusWidget(), form.after);
        EXPECT_FALSE(image1->isVisible());
        if (c.clearList)
            for (const char *item : {"Apple", "Pear", "Plum"})
                combo->AddItem(item);
    }

    // A warning that cannot be shown (the class registered for the message component makes objects of
    // another kind) still keeps the user in the field.
    struct PlainFactory : vq::ClassFactory
    {
        QObject *CreateInstance(QWidget *) override { return new QObject; }
        void LockServer(bool) override { }
    } plain;
    vq::test::ProcessRegistration other(&plain);
    recorder.calls.clear();
    enter();
    QTest::keyClicks(combo1, "Peach");
    leave();
    EXPECT_EQ(QApplication::focusWidget(), combo1);
    EXPECT_TRUE(image1->isVisible());
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(ComboForm, TypingStopsAtTheWholeTextLimitAndRefusesQuotesButNotPaste)
{
    enter();
    QTest::keyClicks(combo1, "it's;ok");
    EXPECT_EQ(combo->Text(), "itsok");

    combo1->setEditText(QString());
    QTest::keyClicks(combo1, QString(30, 'x'));
    EXPECT_EQ(combo->Text(), QString(25, 'x'));
    combo1->lineEdit()->selectAll(); // even replacing the selection is refused at the limit
    QTest::keyClick(combo1, Qt::Key_A);
    EXPECT_EQ(combo->Text(), QString(25, 'x'));
    QTest::keyClick(combo1, Qt::Key_Backspace);
    EXPECT_EQ(combo->Text(), "");

    // Paste is one keystroke: it passes while there is room, however long the pasted text.
    combo->setMaxLength(5);
    QTest::keyClicks(combo1, "ab");
    QApplication::clipboard()->setText("c'd;efghij");
    QTest::keyClick(combo1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(combo->Text(), "abc'd;efghij");

    // The host may put anything into Text.
    combo->setText("O'Brien; Ltd");
    EXPECT_EQ(combo->Text(), "O'Brien; Ltd");
}

TEST_F(ComboForm, TheHostsKeyDownChangesWhatTheFieldDoesAndEnterMovesOnWithoutPicking)
{
    QSignalSpy changes(combo, &VqComboBox::Change);
    QSignalSpy clicks(combo, &VqComboBox::Click);
    QList<short> seen;
    QObject::connect(combo, &VqComboBox::KeyDown, [&](short &key, short &) {
        seen << key;
        if (key == 38) // Up is swallowed
            key = 0;
        else if (key == 36) // Home becomes End
            key = 35;
    });
    enter();
    QTest::keyClicks(combo1, "ab");
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(clicks.size(), 0);

    combo1->lineEdit()->setCursorPosition(1);
    QTest::keyClick(combo1, Qt::Key_Home);
    EXPECT_EQ(combo1->lineEdit()->cursorPosition(), 2);

    QTest::keyClick(combo1, Qt::Key_Down); // picks the first item
    EXPECT_EQ(combo->ListIndex(), 0);
    EXPECT_EQ(combo->Text(), "Apple");
    EXPECT_EQ(clicks.size(), 1);
    QTest::keyClick(combo1, Qt::Key_Up);
    EXPECT_EQ(combo->ListIndex(), 0);

    // ENTER moves on by itself: it neither picks the item the entry names, nor adds one, nor validates
    // (leaving does).
    combo1->setEditText("Plum");
    QTest::keyClick(combo1, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form.after; }));
    EXPECT_EQ(combo->Text(), "Plum");
    EXPECT_EQ(combo->ListIndex(), 0);
    EXPECT_EQ(combo->ListCount(), 3);
    EXPECT_EQ(seen, (QList<short> {65, 66, 36, 40, 38, 13}));
}

TEST_F(ComboForm, ListChangesKeepTheEntryAndTheSelectedItem)
{
    // Adding to an empty list selects nothing and keeps what the clerk typed.
    combo->Clear();
    combo->setText("typed");
    combo->AddItem("Apple");
    EXPECT_EQ(combo->ListIndex(), -1);
    EXPECT_EQ(combo->Text(), "typed");

    for (const char *item : {"Pear", "Plum"})
        combo->AddItem(item);
    combo->setListIndex(1);
    combo->AddItem("Banana", 1); // before the selected item, which moves along
    EXPECT_EQ(combo1->itemText(1), "Banana");
    EXPECT_EQ(combo->ListIndex(), 2);
    EXPECT_EQ(combo->Text(), "Pear");
    combo->RemoveItem(0);
    EXPECT_EQ(combo->ListIndex(), 1);
    combo->RemoveItem(1); // the selected one: nothing is selected, the text stays
    EXPECT_EQ(combo->ListIndex(), -1);
    EXPECT_EQ(combo->Text(), "Pear");
    EXPECT_EQ(combo->ListCount(), 2);

    EXPECT_EQ(vq::test::errorNumber([&] { combo->AddItem("X", 3); }), vq::Error::InvalidProcedureCall);
    EXPECT_EQ(vq::test::errorNumber([&] { combo->AddItem("X", -1); }), vq::Error::InvalidProcedureCall);
    EXPECT_EQ(vq::test::errorNumber([&] { combo->RemoveItem(2); }), vq::Error::InvalidProcedureCall);
    EXPECT_EQ(vq::test::errorNumber([&] { combo->setListIndex(2); }), vq::Error::InvalidPropertyValue);
    EXPECT_EQ(combo->ListCount(), 2);
    combo->Clear();
    EXPECT_EQ(combo->ListCount(), 0);
}

TEST_F(ComboForm, ResizeGivesCombo1TheWidthLessTheMarkerAndIgnoresARefusedWidth)
{
    struct Case
    {
        int width;
        int combo1;
        int image1;
    };
    // In turn: a refused width leaves Combo1 as the step before left it.
    const Case cases[] = {{600, 70, 90}, {4020, 3490, 3510}, {525, 3490, 3510}, {1000, 470, 490}};
    combo->setMinimumSize(0, 0);
    for (const Case &c : cases) {
        combo->resizeTwips(c.width, 315);
        EXPECT_NEAR(vq::twips::geometry(combo1).width(), c.combo1, 15) << c.width;
        EXPECT_NEAR(vq::twips::geometry(image1).left(), c.image1, 15) << c.width;
        EXPECT_NEAR(vq::twips::geometry(image1).top(), -105, 15);
    }
}

TEST(ComboPersistence, TextDefaultsToCombo1AndASavedIndexNeedsAFilledList)
{
    std::unique_ptr<VqComboBox> saved(qobject_cast<VqComboBox *>(vq::CreateControl("VqComboBox")));
    for (const char *item : {"a", "b", "c"})
        saved->AddItem(item);
    saved->setListIndex(2);
    vq::MemoryPropertyBag bag;
    saved->WriteProperties(bag);

    std::unique_ptr<VqComboBox> empty(qobject_cast<VqComboBox *>(vq::CreateControl("VqComboBox")));
    empty->ReadProperties(bag);
    EXPECT_EQ(empty->ListIndex(), -1);
    EXPECT_EQ(empty->Text(), "c");
    std::unique_ptr<VqComboBox> filled(qobject_cast<VqComboBox *>(vq::CreateControl("VqComboBox")));
    for (const char *item : {"x", "y", "z"})
        filled->AddItem(item);
    filled->ReadProperties(bag);
    EXPECT_EQ(filled->ListIndex(), 2);
    EXPECT_EQ(filled->Text(), "c"); // the saved text, read after the index

    // A missing text shows "Combo1", and "Combo1" survives a round trip although it is the default.
    vq::MemoryPropertyBag none;
    empty->ReadProperties(none);
    EXPECT_EQ(empty->Text(), "Combo1");
    vq::MemoryPropertyBag again;
    empty->WriteProperties(again);
    filled->ReadProperties(again);
    EXPECT_EQ(filled->Text(), "Combo1");
}
