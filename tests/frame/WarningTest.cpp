#include "TempRegistry.h"
#include "support/RecordingMessageComponent.h"

#include "frame/ClassFactory.h"
#include "frame/EntryPoints.h"
#include "frame/MessageComponent.h"
#include "frame/Registry.h"
#include "frame/modGeneral.h"
#include "platform/Error.h"

#include <QApplication>
#include <QLibrary>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using vq::MessageComponent;
using vq::Registry;
using namespace vq::test;

namespace {

void warn(const QString &text)
{
    QString message = text;
    vq::modGeneral::ShowWarning(message);
}

} // namespace

TEST(ShowWarning, EachWarningGetsAFreshInstanceReleasedAfterTheCall)
{
    TempRegistry registry;
    Recorder recorder;
    RecordingFactory factory(recorder);
    ProcessRegistration registration(&factory);

    warn(QStringLiteral("text"));
    EXPECT_EQ(recorder.alive, 0);
    warn(QStringLiteral("text"));
    EXPECT_EQ(recorder.alive, 0);

    ASSERT_EQ(recorder.calls.size(), 2);
    EXPECT_EQ(recorder.created, 2);
    EXPECT_NE(recorder.calls[0].instance, recorder.calls[1].instance);
    for (const Call &c : recorder.calls) {
        EXPECT_EQ(c.text, QStringLiteral("text"));
        EXPECT_EQ(c.style, 2);
        EXPECT_EQ(c.flags, 0);
        EXPECT_EQ(c.title, QStringLiteral("Warning!"));
    }
}

TEST(ShowWarning, IsSilentWithoutAComponentOrWhenItFails)
{
    TempRegistry registry;
    // Nothing registered in the process and no registry file.
    warn(QStringLiteral("nobody listens"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A component that throws from ShowMessage: the caller goes on, the instance is still released.
    Recorder recorder;
    recorder.failInShowMessage = true;
    RecordingFactory factory(recorder);
    {
        ProcessRegistration registration(&factory);
        warn(QStringLiteral("boom"));
    }
    EXPECT_EQ(recorder.calls.size(), 1);
    EXPECT_EQ(recorder.alive, 0);

    // A class registered under the id whose instances are no message component.
    struct PlainFactory : vq::ClassFactory
    {
        int created = 0;
        QObject *CreateInstance(QWidget *) override
        {
            ++created;
            return new QObject;
        }
        void LockServer(bool) override { }
    } plain;
    {
        ProcessRegistration registration(&plain);
        warn(QStringLiteral("wrong kind"));
    }
    EXPECT_EQ(plain.created, 1);

    // A factory that fails with something other than the library's own error.
    struct ThrowingFactory : vq::ClassFactory
    {
        QObject *CreateInstance(QWidget *) override { throw std::bad_alloc(); }
        void LockServer(bool) override { }
    } throwing;
    ProcessRegistration registration(&throwing);
    warn(QStringLiteral("cannot create"));
}

#ifdef VQ_REGSVR_FILE
namespace {
struct SeenBox
{
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Waits for the application-modal box, notes what it shows and dismisses it with ENTER, as a user would.
void dismissNextBox(SeenBox &seen)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        QTest::keyClick(box, Qt::Key_Return);
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}
} // namespace

TEST(MessageComponentLibrary, RegisteredByVqregsvrShowsAModalWarningBox)
{
    TempRegistry registry;
    QProcess regsvr;
    regsvr.start(QStringLiteral(VQ_REGSVR_FILE), {QStringLiteral(VQ_MESSAGE_LIBRARY_FILE)});
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    ASSERT_EQ(regsvr.exitCode(), 0) << regsvr.readAllStandardError().toStdString();
    ASSERT_TRUE(Registry::entry(MessageComponent::classId()).has_value());

    QLibrary module(QStringLiteral(VQ_MESSAGE_LIBRARY_FILE));
    ASSERT_TRUE(module.load());
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(module.resolve("DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);

    {
        std::unique_ptr<QObject> instance(Registry::createObject(MessageComponent::classId()));
        ASSERT_NE(qobject_cast<MessageComponent *>(instance.get()), nullptr);
        EXPECT_EQ(canUnload(), vq::status::False);
    }
    EXPECT_EQ(canUnload(), vq::status::Ok);

    SeenBox seen;
    dismissNextBox(seen);
    warn(QStringLiteral("Amount must be a number"));
    ASSERT_TRUE(seen.seen) << "no box was shown";
    EXPECT_EQ(seen.title, QStringLiteral("Warning!"));
    EXPECT_EQ(seen.text, QStringLiteral("Amount must be a number"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(canUnload(), vq::status::Ok) << "the instance outlived the warning";
}
#endif

TEST(PickedValues, FiveSlotsPerThreadEmptyAtStart)
{
    vq::modGeneral::ClearPickedValues();
    vq::modGeneral::SetPickedValue(1, QStringLiteral("C001"));
    vq::modGeneral::SetPickedValue(5, 42);
    EXPECT_EQ(vq::modGeneral::PickedValue(1), QVariant(QStringLiteral("C001")));
    EXPECT_EQ(vq::modGeneral::PickedValue(5), QVariant(42));
    EXPECT_FALSE(vq::modGeneral::PickedValue(2).isValid());

    for (int bad : {0, 6, -1}) {
        try {
            vq::modGeneral::PickedValue(bad);
            ADD_FAILURE() << bad;
        } catch (const vq::Error &e) {
            EXPECT_EQ(e.number(), vq::Error::IndexOutOfBounds);
        }
    }

    // Another thread starts with its own empty set and leaves this one alone.
    QVariant seenThere = QStringLiteral("unset");
    std::unique_ptr<QThread> thread(QThread::create([&seenThere] {
        seenThere = vq::modGeneral::PickedValue(1);
        vq::modGeneral::SetPickedValue(1, QStringLiteral("other"));
    }));
    thread->start();
    thread->wait();
    EXPECT_FALSE(seenThere.isValid());
    EXPECT_EQ(vq::modGeneral::PickedValue(1), QVariant(QStringLiteral("C001")));
    vq::modGeneral::ClearPickedValues();
}

#include "WarningTest.moc"
