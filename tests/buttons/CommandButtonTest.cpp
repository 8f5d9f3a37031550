#include "buttons/CommandButton.h"
#include "frame/ClassTable.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Twips.h"
#include "support/Forms.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct KindRow
{
    const char *name;
    const char *designCaption;
    const char *savedDefault;
    bool hasEnabled;
};

const KindRow Kinds[] = {
    {"VqOKButton", "&OK", "&New", true},
    {"VqCancelButton", "&Cancel", "&New", true},
    {"VqNewButton", "&New", "&New", true},
    {"VqSaveButton", "&Save", "&New", true},
    {"VqOpenButton", "&Open", "&Open", true},
    {"VqClearButton", "&Clear", "&New", true},
    {"VqExitButton", "E&xit", "&New", true},
    {"VqFirstButton", "&First", "&New", true},
    {"VqPreviousButton", "&Previous", "&New", false},
    {"VqNextButton", "&Next", "&New", false},
    {"VqLastButton", "&Last", "&New", true},
    {"VqPrintButton", "&Print", "&New", true},
    {"VqViewButton", "&View", "&New", true},
};

std::unique_ptr<QObject> create(const char *name)
{
    return std::unique_ptr<QObject>(vq::ClassTable::create(QString::fromLatin1(name)));
}

} // namespace

// What a host sees of each kind by name alone: class name, members, design caption, pictures, sizes.
TEST(CommandButtonKinds, EachKindIsItsOwnClassWithItsCaptionPicturesAndMembers)
{
    for (const KindRow &k : Kinds) {
        SCOPED_TRACE(k.name);
        auto object = create(k.name);
        ASSERT_NE(object, nullptr);
        const QMetaObject *meta = object->metaObject();
        EXPECT_EQ(object->property("Caption").toString(), k.designCaption);
        EXPECT_EQ(meta->indexOfProperty("Enabled") >= 0, k.hasEnabled);
        EXPECT_GE(meta->indexOfSignal("Click()"), 0);
        if (k.hasEnabled) {
            EXPECT_GT(meta->indexOfProperty("Enabled"), meta->indexOfProperty("Caption"));
        }

        auto *command1 = object->findChild<QPushButton *>("Command1");
        ASSERT_NE(command1, nullptr);
        EXPECT_EQ(command1->icon().pixmap(15, 15).size(), QSize(15, 15));

        auto *frame1 = object->findChild<QFrame *>("Frame1");
        ASSERT_NE(frame1, nullptr);
        using namespace vq::twips;
        EXPECT_EQ(
            command1->geometry(), QRect(toPixelsX(15), toPixelsY(120), toPixelsX(1100), toPixelsY(450)));
        const int frameWidth = QByteArray(k.name) == "VqExitButton" ? 1125 : 1120;
        EXPECT_NEAR(vq::twips::geometry(frame1).width(), frameWidth, 15);
        EXPECT_EQ(frame1->frameShape(), QFrame::Box);
    }
}

TEST(CommandButtonKinds, AKindWithoutEnabledNeitherReadsNorWritesIt)
{
    for (const char *name : {"VqPreviousButton", "VqNextButton"}) {
        SCOPED_TRACE(name);
        auto button = create(name);
        auto *control = qobject_cast<vq::Control *>(button.get());
        vq::MemoryPropertyBag in;
        in.WriteProperty("Caption", "&Back");
        in.WriteProperty("Enabled", false);
        control->ReadProperties(in);
        EXPECT_EQ(in.readLog(), QStringList {"Caption"});
        EXPECT_TRUE(control->isEnabled());
        EXPECT_EQ(button->property("Caption").toString(), "&Back");

        vq::MemoryPropertyBag out;
        control->WriteProperties(out);
        EXPECT_EQ(out.keys(), QStringList {"Caption"});
    }
}

TEST(CommandButtonPersistence, AMissingCaptionReadsAsTheKindsSavedDefaultNotItsDesignCaption)
{
    for (const KindRow &k : Kinds) {
        SCOPED_TRACE(k.name);
        auto button = create(k.name);
        vq::MemoryPropertyBag empty;
        qobject_cast<vq::Control *>(button.get())->ReadProperties(empty);
        EXPECT_EQ(button->property("Caption").toString(), k.savedDefault);
        if (k.hasEnabled) {
            EXPECT_TRUE(button->property("Enabled").toBool());
        }
    }
}

// A form file that leaves defaults out: "&New" on a Save button is not stored, yet comes back.
TEST(CommandButtonPersistence, ACaptionEqualToTheSavedDefaultSurvivesAFormThatOmitsDefaults)
{
    auto save = create("VqSaveButton");
    auto *control = qobject_cast<vq::Control *>(save.get());
    vq::MemoryPropertyBag form;
    form.setOmitDefaults(true);
    save->setProperty("Caption", "&New");
    save->setProperty("Enabled", false);
    control->WriteProperties(form);
    EXPECT_EQ(form.keys(), QStringList {"Enabled"});
    auto loaded = create("VqSaveButton");
    qobject_cast<vq::Control *>(loaded.get())->ReadProperties(form);
    EXPECT_EQ(loaded->property("Caption").toString(), "&New");
    EXPECT_FALSE(loaded->property("Enabled").toBool());
}

TEST(CommandButtonProperties, ResizingLeavesTheButtonAtItsDesignPlace)
{
    auto view = create("VqViewButton");
    auto *control = qobject_cast<vq::Control *>(view.get());
    auto *command1 = view->findChild<QPushButton *>("Command1");
    const QRect before = command1->geometry();
    control->resizeTwips(4000, 2000);
    EXPECT_EQ(command1->geometry(), before);
    EXPECT_EQ(command1->mapTo(control, QPoint(0, 0)), QPoint(1, 2));
}

namespace {

// The button on a shown, active form (or dialog) between two plain fields.
class ButtonForm : public ::testing::Test
{
protected:
    void make(const char *name, vq::test::Form::Host host = vq::test::Form::Host::Window)
    {
        form = std::make_unique<vq::test::Form>(
            [name](QWidget *parent) {
                vq::Control *c = vq::CreateControl(QString::fromLatin1(name), parent);
                c->setFixedSize(c->size());
                return c;
            },
            host);
        ASSERT_TRUE(form->isActive());
        before = form->before;
        after = form->after;
        button = static_cast<vq::Control *>(form->widget);
        command1 = button->findChild<QPushButton *>("Command1");
        frame1 = button->findChild<QFrame *>("Frame1");
        ASSERT_NE(command1, nullptr);
        ASSERT_NE(frame1, nullptr);
    }

    void tab(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<vq::test::Form> form;
    QLineEdit *before = nullptr;
    QLineEdit *after = nullptr;
    vq::Control *button = nullptr;
    QPushButton *command1 = nullptr;
    QFrame *frame1 = nullptr;
};

} // namespace

TEST_F(ButtonForm, TabbingOntoTheButtonDropsTheBorderAndItalicisesTheCaptionAndTabbingAwayRestoresThem)
{
    make("VqNextButton");
    before->setFocus(Qt::OtherFocusReason);
    tab();
    ASSERT_EQ(QApplication::focusWidget(), command1);
    EXPECT_EQ(frame1->frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(command1->font().italic());
    EXPECT_EQ(qobject_cast<vq::CommandButton *>(button)->borderStyle(), 0);

    tab();
    ASSERT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(frame1->frameShape(), QFrame::Box);
    EXPECT_FALSE(command1->font().italic());

    tab(Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), command1);
    EXPECT_TRUE(command1->font().italic());
}

TEST_F(ButtonForm, ClickSpaceAndEnterEachRaiseClickOnce)
{
    make("VqOKButton");
    // A host that knows only the event's name.
    QSignalSpy clicks(button, SIGNAL(Click()));
    ASSERT_TRUE(clicks.isValid());

    QTest::mouseClick(command1, Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 1);
    command1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(command1, Qt::Key_Space);
    EXPECT_EQ(clicks.size(), 2);
    QTest::keyClick(command1, Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 3);
    QTest::keyClick(command1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.size(), 4);
}

TEST_F(ButtonForm, ADisabledButtonTakesNoInputButCommand1KeepsItsOwnFlag)
{
    make("VqPrintButton");
    QSignalSpy clicks(button, SIGNAL(Click()));
    button->setProperty("Enabled", false);

    QTest::mouseClick(command1, Qt::LeftButton);
    command1->setFocus(Qt::TabFocusReason);
    QTest::keyClick(command1, Qt::Key_Space);
    QTest::keyClick(command1, Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 0);
    EXPECT_NE(QApplication::focusWidget(), command1);

    before->setFocus(Qt::OtherFocusReason);
    tab();
    EXPECT_EQ(QApplication::focusWidget(), after) << "a disabled button is no tab stop";

    EXPECT_TRUE(command1->isEnabledTo(button));
    EXPECT_FALSE(command1->testAttribute(Qt::WA_ForceDisabled));

    button->setProperty("Enabled", true);
    QTest::mouseClick(command1, Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(ButtonForm, InADialogEnterElsewhereNeverPressesTheButton)
{
    // A dialog without a default button of its own: Qt would make the first auto-default button the default.
    make("VqSaveButton", vq::test::Form::Host::Dialog);
    QSignalSpy clicks(button, SIGNAL(Click()));
    vq::test::Form::focus(before);
    QTest::keyClick(before, Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 0);
    EXPECT_FALSE(command1->isDefault());
}
