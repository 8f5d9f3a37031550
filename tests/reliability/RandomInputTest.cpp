#include "data/TestDatabase.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "helplist/VqHelpList.h"
#include "helplist/frmVqHelpList.h"
#include "platform/Error.h"
#include "support/ControlNames.h"
#include "support/Forms.h"
#include "support/RecordingMessageComponent.h"

#include <QApplication>
#include <QDateTime>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>

// Every control of this build, alone on a form between two plain fields, takes a long seeded sequence of
// real keys, clicks, focus moves and property sets by name. Menus and dialogs that open on the way are
// closed as a user would; warnings go to a recording message component. The run must end with no crash,
// no sanitizer report, and a control that still answers its properties and saves and loads again.
// VQ_RANDOM_SEED replays one seed, VQ_RANDOM_EVENTS sets the events per seed.

namespace {

class RandomInput
{
public:
    RandomInput(quint32 seed, QWidget *root)
        : m_rng(seed)
        , m_root(root)
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
        QList<QWidget *> all = m_root->findChildren<QWidget *>();
        all.append(m_root);
        QList<QWidget *> shown;
        for (QWidget *w : all) {
            if (w->isVisible())
                shown.append(w);
        }
        return shown.isEmpty() ? m_root : shown.at(below(int(shown.size())));
    }

    void key()
    {
        static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter,
            Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End,
            Qt::Key_F1, Qt::Key_F4, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_PageUp, Qt::Key_PageDown,
            Qt::Key_Space, Qt::Key_Insert};
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_root;
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
    QWidget *m_root;
};

// What every run shares: warnings recorded, errors from handlers counted, menus and dialogs that open on
// the way closed as a user would (all but `keepOpen`), and the seeds to run.
class RandomRun : public ::testing::Test
{
protected:
    RandomRun()
    {
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal != keepOpen)
                modal->close();
        });
        closer.start(20);
    }
    ~RandomRun() override { vq::setErrorHandler(previous); }

    // Runs `one` for each seed, printing the seed first so that a crash or a sanitizer report names it.
    void forEachSeed(const QString &what, const std::function<void(quint32)> &one)
    {
        const bool replay = qEnvironmentVariableIsSet("VQ_RANDOM_SEED");
        const quint32 first = replay ? quint32(qEnvironmentVariableIntValue("VQ_RANDOM_SEED")) : 1;
        for (quint32 seed = first; seed < first + (replay ? 1 : 3); ++seed) {
            std::fprintf(stderr, "random input: %s, VQ_RANDOM_SEED=%u\n", qPrintable(what), seed);
            SCOPED_TRACE("VQ_RANDOM_SEED=" + std::to_string(seed));
            one(seed);
        }
        std::printf("random input: %s took %d events (%d errors reported by handlers, %lld warnings)\n",
            qPrintable(what), sent, reported, qlonglong(recorder.calls.size()));
    }

    const int events = qEnvironmentVariableIsSet("VQ_RANDOM_EVENTS")
        ? qEnvironmentVariableIntValue("VQ_RANDOM_EVENTS")
        : 300;
    int sent = 0;
    int reported = 0;
    QWidget *keepOpen = nullptr;
    vq::test::Recorder recorder;
    vq::test::RecordingFactory factory {recorder};
    vq::test::ProcessRegistration registration {&factory};
    const vq::ErrorHandler previous = vq::setErrorHandler([this](const vq::Error &) { ++reported; });
    QTimer closer;
};

class RandomInputTest : public RandomRun, public ::testing::WithParamInterface<QString>
{ };

} // namespace

TEST_P(RandomInputTest, EveryControlSurvivesRandomKeysClicksFocusAndProperties)
{
    const QString name = GetParam();
    forEachSeed(name, [&](quint32 seed) {
        vq::test::Form form([&](QWidget *parent) {
            vq::Control *c = vq::CreateControl(name, parent);
            c->InitProperties();
            return c;
        });
        auto *control = static_cast<vq::Control *>(form.widget);
        RandomInput input(seed, form.window.get());
        for (int i = 0; i < events; ++i, ++sent)
            input.step(*control);

        const QMetaObject *meta = control->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i)
            control->property(meta->property(i).name());
        vq::MemoryPropertyBag bag;
        ASSERT_NO_THROW(control->WriteProperties(bag));
        std::unique_ptr<vq::Control> copy(vq::CreateControl(name));
        EXPECT_NO_THROW(copy->ReadProperties(bag)) << "what the control saved after the run loads again";
    });
}

// The lookup window, the largest surface a clerk types into, over a small table: opened again whenever
// the input closes it (a pick, Escape, Cancel) until the events are spent.
TEST_F(RandomRun, TheLookupWindowSurvivesRandomKeysClicksAndFocus)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("lookup.db"));
    testdb::makeSqlite(db,
        {QStringLiteral(
             "CREATE TABLE t (name varchar(20), qty integer, amount double, seen date, note text)"),
            QStringLiteral(
                "INSERT INTO t WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                "i < 60) SELECT printf('Näme %d''s', i * 7 % 60), i % 9, i * 1.25, "
                "date('2020-01-01', '+' || i || ' days'), CASE WHEN i % 5 THEN 'n' END FROM n")});
    QObject connection;
    connection.setProperty("ConnectionString", testdb::nativeString(db));
    forEachSeed(QStringLiteral("the lookup window"), [&](quint32 seed) {
        VqHelpList helpList;
        int budget = events;
        while (budget > 0) {
            // The fetch lets pending events run before the window shows: wait for the show.
            QTimer start;
            QObject::connect(&start, &QTimer::timeout, [&] {
                frmVqHelpList *w = frmVqHelpList::instance();
                if (!w->isVisible())
                    return;
                start.stop();
                keepOpen = w;
                RandomInput input(seed + quint32(budget), w);
                while (budget > 0 && w->isOpen()) {
                    input.step(helpList);
                    --budget;
                    ++sent;
                }
                if (w->isOpen())
                    w->Unload();
            });
            start.start(5);
            helpList.DisplayHelpList(&connection, QStringLiteral("SELECT * FROM t"));
        }
        EXPECT_FALSE(frmVqHelpList::instance()->isOpen());
    });
}

INSTANTIATE_TEST_SUITE_P(EveryControl, RandomInputTest,
    ::testing::ValuesIn(vq::test::availableControlNames()),
    [](const ::testing::TestParamInfo<QString> &info) { return info.param.toStdString(); });
