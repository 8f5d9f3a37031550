#include "platform/SendKeys.h"

#include "platform/Error.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

#include <vector>

namespace vq {

namespace {
struct Stroke
{
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

int namedKey(const QString &name)
{
    static const QHash<QString, int> names = {
        {QStringLiteral("TAB"), Qt::Key_Tab},
        {QStringLiteral("DOWN"), Qt::Key_Down},
        {QStringLiteral("UP"), Qt::Key_Up},
        {QStringLiteral("LEFT"), Qt::Key_Left},
        {QStringLiteral("RIGHT"), Qt::Key_Right},
        {QStringLiteral("ENTER"), Qt::Key_Return},
        {QStringLiteral("ESCAPE"), Qt::Key_Escape},
        {QStringLiteral("ESC"), Qt::Key_Escape},
        {QStringLiteral("BACKSPACE"), Qt::Key_Backspace},
        {QStringLiteral("BS"), Qt::Key_Backspace},
        {QStringLiteral("DELETE"), Qt::Key_Delete},
        {QStringLiteral("DEL"), Qt::Key_Delete},
        {QStringLiteral("HOME"), Qt::Key_Home},
        {QStringLiteral("END"), Qt::Key_End},
        {QStringLiteral("PGUP"), Qt::Key_PageUp},
        {QStringLiteral("PGDN"), Qt::Key_PageDown},
    };
    const QString upper = name.toUpper();
    if (auto it = names.constFind(upper); it != names.constEnd())
        return *it;
    if (upper.size() >= 2 && upper.at(0) == QLatin1Char('F')) {
        bool ok = false;
        const int n = upper.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 24)
            return Qt::Key_F1 + n - 1;
    }
    if (name.size() == 1)
        return -1; // a literal character written in braces, such as {+}
    throw Error(Error::InvalidProcedureCall);
}

Stroke literal(QChar c, Qt::KeyboardModifiers m)
{
    const QChar upper = c.toUpper();
    int key = upper.unicode();
    if (upper.unicode() > 0xff)
        key = Qt::Key_unknown;
    return {key, m, (m & (Qt::ControlModifier | Qt::AltModifier)) ? QString() : QString(c)};
}

std::vector<Stroke> parse(const QString &keys)
{
    std::vector<Stroke> strokes;
    Qt::KeyboardModifiers pending;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == QLatin1Char('+')) {
            pending |= Qt::ShiftModifier;
        } else if (c == QLatin1Char('^')) {
            pending |= Qt::ControlModifier;
        } else if (c == QLatin1Char('%')) {
            pending |= Qt::AltModifier;
        } else if (c == QLatin1Char('{')) {
            // "{}}" names the closing brace itself.
            qsizetype end = keys.indexOf(QLatin1Char('}'), i + 2);
            if (end < 0)
                throw Error(Error::InvalidProcedureCall);
            const QString name = keys.mid(i + 1, end - i - 1);
            const int key = namedKey(name);
            if (key == -1) {
                strokes.push_back(literal(name.at(0), pending));
            } else {
                int k = key;
                if (k == Qt::Key_Tab && (pending & Qt::ShiftModifier))
                    k = Qt::Key_Backtab;
                strokes.push_back({k, pending, k == Qt::Key_Return ? QStringLiteral("\r") : QString()});
            }
            pending = {};
            i = end;
        } else if (c == QLatin1Char('~')) {
            strokes.push_back({Qt::Key_Return, pending, QStringLiteral("\r")});
            pending = {};
        } else {
            strokes.push_back(literal(c, pending));
            pending = {};
        }
    }
    return strokes;
}
} // namespace

void SendKeys(const QString &keys)
{
    const std::vector<Stroke> strokes = parse(keys);
    for (const Stroke &s : strokes) {
        // Each stroke goes to whichever widget has the focus when the stroke is processed, so a {TAB} that
        // moves the focus sends the next stroke to the next field, as on the desktop.
        QMetaObject::invokeMethod(
            qApp,
            [s] {
                QWidget *target = QApplication::focusWidget();
                if (!target)
                    return;
                QKeyEvent press(QEvent::KeyPress, s.key, s.modifiers, s.text);
                QCoreApplication::sendEvent(target, &press);
                if (QWidget *now = QApplication::focusWidget()) {
                    QKeyEvent release(QEvent::KeyRelease, s.key, s.modifiers, s.text);
                    QCoreApplication::sendEvent(now, &release);
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace vq
