#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/OleColor.h"
#include "platform/Screen.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"
#include "support/Forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {
// Three fields in a row, the first one focused.
struct Fields
{
    Fields()
    {
        auto *layout = new QVBoxLayout(&form);
        for (auto *&f : field) {
            f = new QLineEdit(&form);
            layout->addWidget(f);
        }
        EXPECT_TRUE(vq::test::showActive(&form));
        field[0]->setFocus();
        QCoreApplication::processEvents();
    }
    QWidget form;
    QLineEdit *field[3] = {};
};
} // namespace

TEST(SendKeys, KeysAreQueuedAndEachGoesToTheFieldFocusedWhenItIsProcessed)
{
    Fields f;
    vq::SendKeys("ab{TAB}c{TAB}+{TAB}d");
    EXPECT_TRUE(f.field[0]->text().isEmpty()); // nothing happens before the caller returns
    QCoreApplication::processEvents();
    EXPECT_EQ(f.field[0]->text(), "ab");
    // Tabbing back into a field selects its text, so the last key replaced "c".
    EXPECT_EQ(f.field[1]->text(), "d");
    EXPECT_TRUE(f.field[2]->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), f.field[1]);
}

TEST(SendKeys, NamedKeysAndBadTextsAreRefusedBeforeAnythingIsQueued)
{
    Fields f;
    f.field[0]->setText("xyz");
    vq::SendKeys("{BACKSPACE}{LEFT}{+}");
    QCoreApplication::processEvents();
    EXPECT_EQ(f.field[0]->text(), "x+y");
    EXPECT_THROW(vq::SendKeys("q{NOSUCHKEY}"), vq::Error);
    EXPECT_THROW(vq::SendKeys("q{TAB"), vq::Error);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.field[0]->text(), "x+y");
}

TEST(KeyCodes, VirtualKeysAndCharacterCodes)
{
    using namespace vq::keys;
    EXPECT_EQ(virtualKey(Qt::Key_Up), 38);
    EXPECT_EQ(virtualKey(Qt::Key_Down), 40);
    EXPECT_EQ(virtualKey(Qt::Key_F1), 112);
    EXPECT_EQ(virtualKey(Qt::Key_A), 65);
    EXPECT_EQ(qtKey(115), int(Qt::Key_F4));
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::AltModifier), 5);

    const QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "c");
    const QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    const QKeyEvent e(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QString(QChar(0xe9)));
    const QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(characterCode(&ctrlC), 3);
    EXPECT_EQ(characterCode(&enter), 13);
    EXPECT_EQ(characterCode(&e), 0xe9);
    EXPECT_EQ(characterCode(&left), -1);
}

TEST(Twips, FifteenTwipsAPixelAt96DpiAndNegativeSizesRefused)
{
    QWidget parent;
    auto *child = new QWidget(&parent);
    vq::twips::setGeometry(child, 2100, -90, 480, 480);
    EXPECT_EQ(child->geometry(), QRect(140, -6, 32, 32));
    EXPECT_EQ(vq::twips::geometry(child), QRect(2100, -90, 480, 480));
    EXPECT_THROW(vq::twips::setGeometry(child, 0, 0, -15, 10), vq::Error);
    EXPECT_EQ(child->geometry(), QRect(140, -6, 32, 32));
}

TEST(Screen, MousePointerOverridesAndRestores)
{
    vq::Screen::setMousePointer(vq::Screen::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(vq::Screen::MousePointer(), 11);
    vq::Screen::setMousePointer(vq::Screen::Arrow);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    vq::Screen::setMousePointer(vq::Screen::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(vq::Screen::MousePointer(), 0);
}

TEST(OleColor, PlainAndSystemColours)
{
    EXPECT_EQ(vq::olecolor::toColor(0x0000ff), QColor(255, 0, 0));
    EXPECT_EQ(vq::olecolor::fromColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(vq::olecolor::toColor(vq::olecolor::WindowText), QApplication::palette().color(QPalette::Text));
}
