#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Error.h"
#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

#include <QApplication>
#include <QDateTime>
#include <QMetaProperty>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

// Every control of this build, alone on a form between two plain fields, takes a long seeded sequence of
// real keys, clicks, focus moves and property sets by name. Menus and dialogs that open on the way are
// closed as a user would; warnings go to a recording message component. The run must end with no crash,
// no sanitizer report, and a control that still answers its properties and saves and loads again.
// VQ_RANDOM_SEED replays one seed, VQ_RANDOM_EVENTS sets the events per seed.

namespace {

std::vector<std::string> controlNames()
{
    std::vector<std::string> names;
    for (const vq::ClassTable::ClassInfo &info : vq::ClassTable::classes()) {
        if (info.kind == vq::ClassTable::Kind::Control && vq::ClassTable::isAvailable(info.name))
            names.push_back(info.name.toStdString());
    }
    return names;
}

class RandomInput
{
public:
    RandomInput(quint32 seed, vq::test::Form &form)
        : m_rng(seed)
        , m_form(form)
    { }

    int below(int n) { return int(m_rng() % quint32(n)); }

    QString anyText()
    {
        static const QString pool = QStringLiteral("aZ09 .,-+'; é€日%#&{}()[]^~\"\\/");
        QString t;
        for (int i = below(12); i > 0; --i)
            t += pool.at(below(int(pool.size())));
        return t;
    }

    QWidget *anyWidget()
    {
        QList<QWidget *> all = m_form.window->findChildren<QWidget *>();
        all.append(m_form.window.get());
        QList<QWidget *> shown;
        for (QWidget *w : all) {
            if (w->isVisible())
                shown.append(w);
        }
        return shown.isEmpty() ? m_form.window.get() : shown.at(below(int(shown.size())));
    }

    void key()
    {
        static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter,
            Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
            Qt::Key_F1, Qt::Key_F4, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_PageUp, Qt::Key_PageDown,
            Qt::Key_Space, Qt::Key_Insert};
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.window.get();
        const int kind = below(10);
        if (kind < 5) {
            // A typed character, ASCII or not, as the platform delivers it: a key code and its text.
            const QString t = anyText();
            const QChar ch = t.isEmpty() ? QChar(0xe9) : t.at(0);
            const Qt::Key code = ch.unicode() < 128 ? Qt::Key(ch.toUpper().unicode()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, target, code, QString(ch), Qt::NoModifier);
        } else if (kind < 9) {
            static const Qt::KeyboardModifiers mods[] = {
                Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier};
            QTest::keyClick(target, keys[below(int(std::size(keys)))], mods[below(5)]);
        } else {
            static const Qt::Key shortcuts[] = {Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_A, Qt::Key_Z};
            QTest::keyClick(target, shortcuts[below(5)], Qt::ControlModifier);
        }
    }

    void mouse()
    {
        QWidget *w = anyWidget();
        const QPoint at(below(qMax(1, w->width())), below(qMax(1, w->height())));
        static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton};
        if (below(5) == 0)
            QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(w, buttons[below(3)], {}, at);
    }

    void focus()
    {
        QWidget *w = anyWidget();
        if (w->focusPolicy() != Qt::NoFocus)
            w->setFocus(below(2) ? Qt::TabFocusReason : Qt::MouseFocusReason);
    }

    QVariant anyValue(const QMetaProperty &p)
    {
        switch (p.typeId()) {
        case QMetaType::Bool:
            return bool(below(2));
        case QMetaType::QString:
            return anyText();
        case QMetaType::Double:
            return double(below(2000000) - 1000000) / double(1 + below(1000));
        case QMetaType::QDateTime:
            return QDateTime(
                QDate(1 + below(9999), 1 + below(12), 1 + below(28)), QTime(below(24), below(60)));
        case QMetaType::QDate:
            return QDate(1 + below(9999), 1 + below(12), 1 + below(28));
        default: {
            static const qint64 edges[] = {0, 1, -1, 2, 3, 255, 256, 32767, -32768, 65535, 2147483647,
                -2147483647, 0x80000008, 0x80000012};
            QVariant v =
                QVariant::fromValue(below(3) ? qint64(below(12) - 2) : edges[below(int(std::size(edges)))]);
            if (!v.convert(p.metaType()))
                v = QVariant(p.metaType());
            return v;
        }
        }
    }

    void propertySet(vq::Control &control)
    {
        const QMetaObject *meta = control.metaObject();
        const int first = vq::Control::staticMetaObject.propertyOffset();
        if (meta->propertyCount() <= first)
            return;
        const QMetaProperty p = meta->property(first + below(meta->propertyCount() - first));
        if (!p.isWritable())
            return;
        try {
            p.write(&control, anyValue(p));
        } catch (const vq::Error &) {
            // A setter may refuse a value; that reaches the host as an error, which is allowed.
        }
    }

    void step(vq::Control &control)
    {
        const int kind = below(20);
        if (kind < 11)
            key();
        else if (kind < 15)
            mouse();
        else if (kind < 17)
            focus();
        else
            propertySet(control);
        QApplication::processEvents();
    }

private:
    std::mt19937 m_rng;
    vq::test::Form &m_form;
};

class RandomInputTest : public ::testing::TestWithParam<std::string>
{ };

} // namespace

TEST_P(RandomInputTest, EveryControlSurvivesRandomKeysClicksFocusAndProperties)
{
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory(recorder);
    vq::test::ProcessRegistration registration(&factory);
    int reported = 0;
    const vq::ErrorHandler previous = vq::setErrorHandler([&](const vq::Error &) { ++reported; });

    // What opens on the way (a context menu, a drop-down, a dialog) is closed, as a user would.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(20);

    const QString name = QString::fromStdString(GetParam());
    const quint32 firstSeed = qEnvironmentVariableIsSet("VQ_RANDOM_SEED")
        ? quint32(qEnvironmentVariableIntValue("VQ_RANDOM_SEED"))
        : 1;
    const int seeds = qEnvironmentVariableIsSet("VQ_RANDOM_SEED") ? 1 : 3;
    const int events = qEnvironmentVariableIsSet("VQ_RANDOM_EVENTS")
        ? qEnvironmentVariableIntValue("VQ_RANDOM_EVENTS")
        : 300;
    int sent = 0;
    for (quint32 seed = firstSeed; seed < firstSeed + quint32(seeds); ++seed) {
        // Printed first, so that a crash or a sanitizer report names the seed to replay.
        std::fprintf(stderr, "random input: %s, VQ_RANDOM_SEED=%u\n", qPrintable(name), seed);
        SCOPED_TRACE("VQ_RANDOM_SEED=" + std::to_string(seed));
        vq::test::Form form([&](QWidget *parent) {
            vq::Control *c = vq::CreateControl(name, parent);
            c->InitProperties();
            return c;
        });
        auto *control = static_cast<vq::Control *>(form.widget);
        RandomInput input(seed, form);
        for (int i = 0; i < events; ++i, ++sent)
            input.step(*control);

        const QMetaObject *meta = control->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i)
            control->property(meta->property(i).name());
        vq::MemoryPropertyBag bag;
        ASSERT_NO_THROW(control->WriteProperties(bag));
        std::unique_ptr<vq::Control> copy(vq::CreateControl(name));
        EXPECT_NO_THROW(copy->ReadProperties(bag)) << "what the control saved after the run loads again";
    }
    vq::setErrorHandler(previous);
    std::printf("random input: %s took %d events (%d errors reported by handlers, %lld warnings)\n",
        qPrintable(name), sent, reported, qlonglong(recorder.calls.size()));
}

INSTANTIATE_TEST_SUITE_P(EveryControl, RandomInputTest, ::testing::ValuesIn(controlNames()),
    [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });
