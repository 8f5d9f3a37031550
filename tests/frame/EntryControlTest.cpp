#include "frame/EntryControl.h"
#include "support/Forms.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A control of two parts, as the date picker is: focus moving between them is not leaving the control.
class TwoPartControl : public vq::EntryControl
{
    Q_OBJECT

public:
    explicit TwoPartControl(QWidget *parent = nullptr)
        : vq::EntryControl(parent)
    {
        text1 = new QLineEdit(this);
        text1->setObjectName("Text1");
        part2 = new QLineEdit(this);
        part2->setObjectName("Part2");
        part2->move(0, 30);
        setEntryField(text1);
        placeFocusMarker(2100, -90);
        resize(200, 60);
    }

    QLineEdit *text1;
    QLineEdit *part2;
    QStringList events;

protected:
    void focusEntered() override { events << QStringLiteral("enter %1").arg(focusMarker()->isVisible()); }
    void focusLeft() override
    {
        focusMarker()->hide();
        events << QStringLiteral("leave");
    }
};

} // namespace

TEST(EntryControl, FocusInsideTheControlIsOneEntryAndOneLeave)
{
    vq::test::Form form([](QWidget *parent) { return new TwoPartControl(parent); });
    ASSERT_TRUE(form.isActive());
    auto *control = static_cast<TwoPartControl *>(form.widget);

    form.focus(control->text1);
    form.focus(control->part2); // between the parts: not leaving
    form.focus(control->text1);
    EXPECT_TRUE(control->hasFocusInside());
    EXPECT_EQ(control->events, (QStringList {"enter 1"})) << "the marker shows before the hook runs";

    // A pop-up menu and another window take the focus for a while: neither is leaving.
    QMenu menu;
    menu.addAction(QStringLiteral("Copy"));
    QTimer::singleShot(0, &menu, [&menu] { menu.close(); });
    menu.exec(control->mapToGlobal(QPoint(5, 5)));
    QWidget other;
    ASSERT_TRUE(vq::test::showActive(&other));
    ASSERT_TRUE(vq::test::showActive(form.window.get()));
    EXPECT_EQ(control->events, (QStringList {"enter 1"}));

    form.focus(form.after);
    EXPECT_EQ(control->events, (QStringList {"enter 1", "leave"}));
    EXPECT_FALSE(control->findChild<QLabel *>("Image1")->isVisible());

    // Entering again through the second part, and the focus taken away altogether, are a cycle too.
    form.focus(control->part2);
    control->part2->clearFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(control->events, (QStringList {"enter 1", "leave", "enter 1", "leave"}));
}

TEST(EntryControl, KeysReachTheEntryAsTheHostLeavesThem)
{
    vq::test::Form form([](QWidget *parent) { return new TwoPartControl(parent); });
    ASSERT_TRUE(form.isActive());
    auto *control = static_cast<TwoPartControl *>(form.widget);
    form.focus(control->text1);
    control->text1->setText("abc");
    // Left arrow turned into Home by the host, and Delete cancelled.
    QObject::connect(control, &vq::EntryControl::KeyDown, [](short &key, short &) {
        if (key == 37)
            key = 36;
        else if (key == 46)
            key = 0;
    });
    QTest::keyClick(control->text1, Qt::Key_Left);
    EXPECT_EQ(control->text1->cursorPosition(), 0);
    QTest::keyClick(control->text1, Qt::Key_Delete);
    EXPECT_EQ(control->text1->text(), "abc");
    QTest::keyClick(control->text1, Qt::Key_Right);
    EXPECT_EQ(control->text1->cursorPosition(), 1);
}

#include "EntryControlTest.moc"
