#include "textbox/VqTextBox.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Error.h"
#include "platform/Twips.h"
#include "support/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The text box on a shown, active form between two plain fields.
class TextBoxForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<vq::test::Form>(
            [](QWidget *parent) { return vq::CreateControl("VqTextBox", parent); });
        ASSERT_TRUE(form->isActive());
        before = form->before;
        after = form->after;
        box = qobject_cast<VqTextBox *>(form->widget);
        ASSERT_NE(box, nullptr);
        box->InitProperties();
        text1 = box->findChild<QLineEdit *>("Text1");
        image1 = box->findChild<QLabel *>("Image1");
        ASSERT_NE(text1, nullptr);
        ASSERT_NE(image1, nullptr);
    }

    void focusBox() { vq::test::Form::focus(text1); }
    void leaveBox() { vq::test::Form::focus(after); }

    // Text committed by an input method (a dead key, compose, an input-method framework).
    void commit(const QString &text)
    {
        QInputMethodEvent e;
        e.setCommitString(text);
        QCoreApplication::sendEvent(text1, &e);
    }

    std::unique_ptr<vq::test::Form> form;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    VqTextBox *box = nullptr;
    QLineEdit *text1 = nullptr;
    QLabel *image1 = nullptr;
};

} // namespace

TEST_F(TextBoxForm, TypingObeysDataTypeAndDecimal)
{
    box->setpDataType(VqTextBox::NumberOnly);
    focusBox();
    QTest::keyClicks(text1, "1.2.3");
    EXPECT_EQ(text1->text(), "1.23");
    text1->clear();
    box->setpDecimal(0);
    QTest::keyClicks(text1, "1.5");
    EXPECT_EQ(text1->text(), "15");

    text1->clear();
    box->setpDataType(VqTextBox::CharacterOnly);
    box->setpCase(VqTextBox::UpperCase);
    QTest::keyClicks(text1, "ab c1'd;");
    EXPECT_EQ(text1->text(), "ABCD");
}

TEST_F(TextBoxForm, FullFieldRefusesEvenReplacingTheSelectionButBackspaceWorks)
{
    focusBox();
    QTest::keyClicks(text1, QString(30, 'x'));
    EXPECT_EQ(text1->text().size(), 25);
    text1->selectAll();
    QTest::keyClick(text1, Qt::Key_A);
    EXPECT_EQ(text1->text(), QString(25, 'x'));
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_TRUE(text1->text().isEmpty());
}

TEST_F(TextBoxForm, EnterAndDownMoveForwardUpMovesBackAndTheHostStillSeesTheKey)
{
    QList<short> seen;
    QObject::connect(box, &VqTextBox::KeyDown, [&](short &key, short &) { seen.append(key); });
    for (const auto &[key, target] :
        {std::pair {Qt::Key_Return, after}, {Qt::Key_Down, after}, {Qt::Key_Up, before}}) {
        focusBox();
        QTest::keyClick(text1, key);
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), target) << key;
    }
    EXPECT_EQ(seen, (QList<short> {13, 40, 38}));
}

TEST_F(TextBoxForm, F1RaisesHelpActionBeforeKeyDownAndDoubleClickOnlyHelpAction)
{
    QStringList order;
    QObject::connect(box, &VqTextBox::HelpAction, [&] { order << "HelpAction"; });
    QObject::connect(
        box, &VqTextBox::KeyDown, [&](short &key, short &) { order << QString("KeyDown %1").arg(key); });
    box->setHelp(nullptr, "select 1"); // accepted and ignored
    focusBox();
    QTest::keyClick(text1, Qt::Key_F1);
    EXPECT_EQ(order, (QStringList {"HelpAction", "KeyDown 112"}));
    order.clear();
    QTest::mouseDClick(text1, Qt::LeftButton);
    EXPECT_EQ(order, QStringList {"HelpAction"});
}

TEST_F(TextBoxForm, HostMayCancelOrReplaceAKeyInKeyDown)
{
    text1->setText("abc");
    focusBox();
    QObject::connect(box, &VqTextBox::KeyDown, [](short &key, short &) {
        if (key == 36) // Home becomes End
            key = 35;
        else if (key == 37) // Left is swallowed
            key = 0;
    });
    text1->setCursorPosition(1);
    QTest::keyClick(text1, Qt::Key_Left);
    EXPECT_EQ(text1->cursorPosition(), 1);
    QTest::keyClick(text1, Qt::Key_Home);
    EXPECT_EQ(text1->cursorPosition(), 3);
}

TEST_F(TextBoxForm, RightClickEmptiesTheClipboardOnlyInTypedFields)
{
    QApplication::clipboard()->setText("kept");
    QTest::mouseClick(text1, Qt::RightButton);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    box->setpDataType(VqTextBox::CharacterOnly);
    QTest::mousePress(text1, Qt::RightButton);
    QTest::mouseRelease(text1, Qt::RightButton);
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
}

TEST_F(TextBoxForm, EnteringShowsTheMarkerLeftAlignsAndPutsTheCaretAtTheEnd)
{
    box->setpDataType(VqTextBox::NumberOnly);
    box->setText("1234.5");
    EXPECT_EQ(box->Alignment(), 1);
    EXPECT_EQ(text1->text(), "1,234.50");
    EXPECT_EQ(box->Value(), "1234.50");
    focusBox();
    EXPECT_TRUE(image1->isVisible());
    EXPECT_EQ(box->Alignment(), 0);
    EXPECT_EQ(text1->cursorPosition(), text1->text().size());
    EXPECT_FALSE(text1->hasSelectedText());
    leaveBox();
    EXPECT_FALSE(image1->isVisible());
    EXPECT_EQ(box->Alignment(), 1);
    // Leaving again at once computes both forms from the display text.
    focusBox();
    leaveBox();
    EXPECT_EQ(text1->text(), "1,234.50");
    EXPECT_EQ(box->Value(), "1234.50");
}

TEST_F(TextBoxForm, LeavingFormatsNumbersAndStoresThePlainValue)
{
    box->setpDataType(VqTextBox::NumberOnly);
    struct Case
    {
        short thousands, decimals;
        QString typed, shown, stored;
    };
    const Case cases[] = {
        {-1, -1, "1234", "1,234.00", "1234"},
        {-1, -1, "0", ".00", "0"},
        {-1, 0, "0", "", "0"},
        {0, 0, "001234", "001234", "1234"},
        {0, -1, "7", "7.00", "7"},
        {-1, -1, "", "", ""},
    };
    for (const Case &c : cases) {
        box->setThousandSeperator(c.thousands);
        box->setpDecimal(c.decimals);
        focusBox();
        text1->clear();
        QTest::keyClicks(text1, c.typed);
        leaveBox();
        EXPECT_EQ(text1->text(), c.shown) << c.typed.toStdString();
        EXPECT_EQ(box->Value(), c.stored) << c.typed.toStdString();
    }
    // Text that is no number comes through the Text property untouched.
    box->setText("abc");
    EXPECT_EQ(box->Text(), "abc");
    EXPECT_EQ(box->Value(), "abc");
    box->setThousandSeperator(-1);
    box->setpDecimal(-1);
    box->setText(" 1234.5 ");
    EXPECT_EQ(box->Text(), "1,234.50");
    EXPECT_EQ(box->Value(), "1234.50");
    EXPECT_EQ(box->Alignment(), 1);
    box->setpDecimal(0);
    box->setText("1234.5");
    EXPECT_EQ(box->Text(), "1,235");
    EXPECT_EQ(box->Value(), "1234.50");
}

TEST_F(TextBoxForm, TextFieldsTrimApplySentenceCaseAndReturnToTheSavedAlignment)
{
    auto other = std::unique_ptr<VqTextBox>(qobject_cast<VqTextBox *>(vq::CreateControl("VqTextBox")));
    other->setAlignment(2);
    other->show(); // Show saves the centred alignment
    other->setAlignment(1);
    other->setpCase(VqTextBox::SentenceCase);
    other->setText("  hello. world  ");
    EXPECT_EQ(other->Text(), "Hello.World");
    EXPECT_EQ(other->Value(), "hello. world");
    EXPECT_EQ(other->Alignment(), 2);

    // Becoming visible again saves the alignment of that moment.
    other->hide();
    other->setAlignment(1);
    other->show();
    other->setText("x");
    EXPECT_EQ(other->Alignment(), 1);
}

TEST_F(TextBoxForm, ValueSetterLeavesTheFieldAlone)
{
    text1->setText("shown");
    box->setValue("stored");
    EXPECT_EQ(box->Text(), "shown");
    EXPECT_EQ(box->Value(), "stored");
}

TEST_F(TextBoxForm, MaxLengthLimitsTypingOnlyNeverWhatTheFormattingOrTheHostPutsThere)
{
    box->setpDataType(VqTextBox::NumberOnly);
    box->setMaxLength(10);
    focusBox();
    QTest::keyClicks(text1, "1234567.89");
    leaveBox();
    EXPECT_EQ(text1->text(), "1,234,567.89");
    EXPECT_EQ(box->Value(), "1234567.89");
    focusBox();
    leaveBox();
    EXPECT_EQ(text1->text(), "1,234,567.89");

    const QString longText(40, 'x');
    box->setpDataType(VqTextBox::GeneralData);
    box->setText(longText);
    EXPECT_EQ(box->Text(), longText);
    vq::MemoryPropertyBag saved;
    saved.WriteProperty("MaxLength", 10);
    saved.WriteProperty("Text", longText);
    box->ReadProperties(saved);
    EXPECT_EQ(box->Text(), longText);

    // Any limit the host gives is kept as given and saved; typing obeys it, nothing below one lets a
    // character in.
    const std::pair<int, QString> limits[] = {{32767, "abc"}, {2, "ab"}, {0, ""}, {-5, ""}};
    for (const auto &[maxLength, kept] : limits) {
        SCOPED_TRACE(maxLength);
        box->setMaxLength(maxLength);
        vq::MemoryPropertyBag bag;
        box->WriteProperties(bag);
        box->setMaxLength(25);
        box->ReadProperties(bag);
        EXPECT_EQ(box->MaxLength(), maxLength);
        text1->clear();
        focusBox();
        QTest::keyClicks(text1, "abc");
        EXPECT_EQ(text1->text(), kept);
    }
}

TEST_F(TextBoxForm, InputMethodCommitsPassTheSameCharacterStepsAsTypedKeys)
{
    struct Case
    {
        uchar dataType, caseRule;
        int maxLength;
        QString committed, kept;
    };
    const Case cases[] = {
        {VqTextBox::CharacterOnly, VqTextBox::GeneralCase, 25, QStringLiteral("é"), ""},
        {VqTextBox::GeneralData, VqTextBox::GeneralCase, 25, "it's", "its"},
        {VqTextBox::GeneralData, VqTextBox::UpperCase, 25, "abc", "ABC"},
        {VqTextBox::GeneralData, VqTextBox::GeneralCase, 3, "abcdef", "abc"},
        {VqTextBox::NumberOnly, VqTextBox::GeneralCase, 25, "1.2.3x", "1.23"},
    };
    focusBox();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.committed.toStdString());
        box->setpDataType(c.dataType);
        box->setpCase(c.caseRule);
        box->setMaxLength(c.maxLength);
        text1->clear();
        commit(c.committed);
        EXPECT_EQ(text1->text(), c.kept);
    }
}

TEST_F(TextBoxForm, AQtHostsBooleansAreBooleansBothWays)
{
    box->setpDataType(VqTextBox::NumberOnly);
    for (const bool flag : {false, true}) {
        ASSERT_TRUE(box->setProperty("pDecimal", flag));
        ASSERT_TRUE(box->setProperty("ThousandSeperator", flag));
        EXPECT_EQ(box->property("pDecimal"), QVariant(flag));
        EXPECT_EQ(box->property("ThousandSeperator"), QVariant(flag));
        text1->clear();
        focusBox();
        QTest::keyClicks(text1, "1234.5");
        leaveBox();
        EXPECT_EQ(text1->text(), flag ? "1,234.50" : "12345");
        vq::MemoryPropertyBag bag;
        box->WriteProperties(bag);
        EXPECT_EQ(bag.value("pDecimal"), QVariant(flag));
    }
}

// The round trip of every key is checked for every control by the conformance suite; these are the text
// box's own orders and defaults.
TEST(VqTextBox, SavesInItsKeyOrderLoadsTheTextAsSavedAndHasTwoSetsOfDefaults)
{
    VqTextBox source;
    source.InitProperties();
    source.setpDataType(VqTextBox::NumberOnly);
    source.setMaxLength(0);
    source.findChild<QLineEdit *>("Text1")->setText("1234.5 as typed");
    vq::MemoryPropertyBag bag;
    source.WriteProperties(bag);
    EXPECT_EQ(bag.keys(),
        (QStringList {"Alignment", "Locked", "PasswordChar", "pCase", "pDataType", "pDecimal",
            "ThousandSeperator", "MaxLength", "Enabled", "ToolTipText", "Value", "Text", "EmptyCheck",
            "ForeColor"}));
    VqTextBox copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Text(), "1234.5 as typed"); // loaded as saved, not reformatted
    EXPECT_EQ(copy.MaxLength(), 0);

    // A form without the keys and a new control differ in MaxLength.
    vq::MemoryPropertyBag empty;
    VqTextBox loaded;
    loaded.ReadProperties(empty);
    EXPECT_EQ(loaded.Text(), "");
    EXPECT_TRUE(loaded.pDecimal());
    EXPECT_TRUE(loaded.ThousandSeperator());
    EXPECT_EQ(loaded.MaxLength(), 0);
    EXPECT_EQ(loaded.ForeColor(), 0x80000008u);
    EXPECT_TRUE(loaded.Enabled());
    VqTextBox fresh;
    fresh.InitProperties();
    EXPECT_EQ(fresh.MaxLength(), 25);
    EXPECT_TRUE(fresh.pDecimal());
    EXPECT_EQ(fresh.pDataType(), 0);

    // At design time the field shows its surface setting.
    vq::AmbientProperties design;
    design.UserMode = false;
    loaded.setAmbientProperties(design);
    loaded.ReadProperties(empty);
    EXPECT_EQ(loaded.surfaceStyle(), 1);
    loaded.setAmbientProperties({});
    loaded.ReadProperties(empty);
    EXPECT_EQ(loaded.surfaceStyle(), 0);
}

TEST(VqTextBox, ResizePlacesTheFieldAndMarkerAndSurvivesARefusedWidth)
{
    VqTextBox box;
    auto *text1 = box.findChild<QLineEdit *>("Text1");
    auto *image1 = box.findChild<QLabel *>("Image1");
    box.resizeTwips(3000, 330);
    EXPECT_NEAR(vq::twips::geometry(text1).width(), 3000 - 530, 15);
    EXPECT_NEAR(vq::twips::geometry(image1).x(), vq::twips::geometry(text1).width() + 20, 15);
    EXPECT_NEAR(vq::twips::geometry(image1).y(), -90, 15);

    const int widthBefore = text1->width();
    box.resizeTwips(300, 330);
    EXPECT_EQ(text1->width(), widthBefore);
    EXPECT_NEAR(vq::twips::geometry(image1).x(), vq::twips::geometry(text1).width() + 20, 15);
    EXPECT_THROW(box.resizeTwips(-1, 330), vq::Error);
}
