#include "frame/EntryControl.h"

#include "frame/FocusMarker.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/OleColor.h"
#include "platform/SendKeys.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>

#include <memory>

namespace vq {

namespace {
constexpr char ForeColorKey[] = "vqForeColor";

// Errors must not unwind through the event loop.
template<typename F>
void guarded(F &&f)
{
    try {
        f();
    } catch (const Error &e) {
        reportError(e);
    }
}
} // namespace

struct EntryControl::Private
{
    QPointer<QLineEdit> field;
    QPointer<QWidget> keyWidget;
    QLabel *marker = nullptr;
    QList<QPointer<QWidget>> constituents;
    bool entered = false;
    bool arrowMoves = false;
    bool delivering = false;
    int surfaceStyle = 0;
};

EntryControl::EntryControl(QWidget *parent)
    : Control(parent)
    , d(std::make_unique<Private>())
{
    setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusChanged(now); });
}

EntryControl::~EntryControl()
{
    // A focused control being destroyed moves the focus while its widgets go; by then it is no
    // EntryControl any more and must not hear of it.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void EntryControl::setEntryField(QLineEdit *field, QWidget *keyWidget)
{
    d->field = field;
    d->keyWidget = keyWidget ? keyWidget : field;
    field->setProperty(ForeColorKey, uint(olecolor::WindowText));
    field->installEventFilter(this);
    if (d->keyWidget != field)
        d->keyWidget->installEventFilter(this);
    setFocusProxy(d->keyWidget);
}

QLineEdit *EntryControl::entryField() const
{
    return d->field;
}

int EntryControl::surfaceStyle() const
{
    return d->surfaceStyle;
}

void EntryControl::applyAmbientSurface()
{
    d->surfaceStyle = ambientProperties().UserMode ? 0 : 1;
    update();
}

void EntryControl::paintEvent(QPaintEvent *event)
{
    Control::paintEvent(event);
    if (d->surfaceStyle == 1) {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

QLabel *EntryControl::placeFocusMarker(int leftTwips, int topTwips)
{
    if (!d->marker) {
        d->marker = new QLabel(this);
        d->marker->setObjectName(QStringLiteral("Image1"));
        d->marker->setPixmap(focusMarkerPixmap(16));
        d->marker->setAlignment(Qt::AlignCenter);
        d->marker->hide();
    }
    twips::setGeometry(d->marker, leftTwips, topTwips, 480, 480);
    return d->marker;
}

QLabel *EntryControl::focusMarker() const
{
    return d->marker;
}

void EntryControl::addConstituent(QWidget *widget)
{
    d->constituents.append(widget);
}

void EntryControl::setArrowMoves(bool on)
{
    d->arrowMoves = on;
}

bool EntryControl::hasFocusInside() const
{
    return d->entered;
}

bool EntryControl::isInside(const QWidget *widget) const
{
    if (!widget)
        return false;
    if (widget == this || isAncestorOf(widget))
        return true;
    for (const QPointer<QWidget> &c : d->constituents) {
        if (c && (c == widget || c->isAncestorOf(widget)))
            return true;
    }
    return false;
}

void EntryControl::focusChanged(QWidget *now)
{
    if (isInside(now)) {
        if (d->entered)
            return;
        d->entered = true;
        guarded([this] {
            if (d->marker)
                d->marker->show();
            focusEntered();
        });
        return;
    }
    if (!d->entered)
        return;
    // Another window or a pop-up menu taking the focus for a while is not the user leaving the control,
    // nor is the whole application losing it; the focus will come back here or land elsewhere in this
    // window, and only the latter is leaving.
    if (now ? now->window() != window() : !window()->isActiveWindow() || QApplication::activePopupWidget())
        return;
    d->entered = false;
    guarded([this] { focusLeft(); });
}

void EntryControl::focusEntered() { }

void EntryControl::focusLeft() { }

void EntryControl::keyDownSteps(short keyCode, short)
{
    if (!d->arrowMoves)
        return;
    if (keyCode == keys::VkDown)
        moveFocus(true);
    else if (keyCode == keys::VkUp)
        moveFocus(false);
}

int EntryControl::filterCharacter(int code)
{
    return code;
}

void EntryControl::mousePressed(QMouseEvent *) { }

void EntryControl::doubleClicked() { }

void EntryControl::moveFocus(bool forward)
{
    SendKeys(forward ? QStringLiteral("{TAB}") : QStringLiteral("+{TAB}"));
}

void EntryControl::layOutBesideMarker(QWidget *field)
{
    try {
        twips::setWidth(field, widthTwips() - (50 + twips::geometry(d->marker).width()));
    } catch (const Error &) { }
    try {
        const QRect placed = twips::geometry(field);
        twips::setLeft(d->marker, placed.x() + placed.width() + 20);
    } catch (const Error &) { }
    d->marker->update();
}

void EntryControl::deliver(QWidget *to, QEvent *event)
{
    const QScopedValueRollback delivering(d->delivering, true);
    QCoreApplication::sendEvent(to, event);
}

bool EntryControl::keyPress(QKeyEvent *e)
{
    short keyCode = keys::virtualKey(e->key());
    short shift = keys::shiftState(e->modifiers());
    const short pressed = keyCode;
    keyDownSteps(keyCode, shift);
    Q_EMIT KeyDown(keyCode, shift);

    const int code = keys::characterCode(e);
    if (code >= 0) {
        const int kept = filterCharacter(code);
        if (kept == 0)
            return true;
        if (kept != code) {
            QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(QChar(kept)));
            deliver(d->keyWidget, &changed);
            return true;
        }
        return false;
    }
    // A key without a character goes on as the host's handler left it: 0 cancels it.
    if (keyCode == pressed)
        return false;
    if (keyCode != 0) {
        QKeyEvent changed(e->type(), keys::qtKey(keyCode), keys::modifiers(shift));
        deliver(d->keyWidget, &changed);
    }
    return true;
}

bool EntryControl::inputMethodCommit(QInputMethodEvent *e)
{
    if (e->commitString().isEmpty())
        return false;
    // A committed text is typing: each character passes the same filter as a typed key, against the entry as
    // the characters before it left it, and goes in on its own.
    bool first = true;
    for (const QChar c : e->commitString()) {
        const int kept = filterCharacter(c.unicode());
        if (kept == 0)
            continue;
        QInputMethodEvent one;
        if (first)
            one.setCommitString(QString(QChar(kept)), e->replacementStart(), e->replacementLength());
        else
            one.setCommitString(QString(QChar(kept)));
        first = false;
        deliver(d->keyWidget, &one);
    }
    // What is still being composed is shown as it is; it is filtered when it is committed.
    QInputMethodEvent rest(e->preeditString(), e->attributes());
    if (first && e->replacementLength() != 0)
        rest.setCommitString(QString(), e->replacementStart(), e->replacementLength());
    deliver(d->keyWidget, &rest);
    e->accept();
    return true;
}

bool EntryControl::eventFilter(QObject *watched, QEvent *event)
{
    if (d->delivering || (watched != d->keyWidget && watched != d->field))
        return Control::eventFilter(watched, event);
    bool handled = false;
    if (watched == d->keyWidget && event->type() == QEvent::KeyPress) {
        // TAB moves the focus before the widget sees it as a key, so the control never sees it either.
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return Control::eventFilter(watched, event);
        guarded([&] { handled = keyPress(static_cast<QKeyEvent *>(event)); });
        return handled;
    }
    if (watched == d->keyWidget && event->type() == QEvent::InputMethod) {
        guarded([&] { handled = inputMethodCommit(static_cast<QInputMethodEvent *>(event)); });
        return handled;
    }
    if (watched == d->field) {
        if (event->type() == QEvent::MouseButtonPress) {
            guarded([&] { mousePressed(static_cast<QMouseEvent *>(event)); });
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            const std::unique_ptr<QEvent> copy(event->clone());
            deliver(d->field, copy.get());
            guarded([this] { doubleClicked(); });
            return true;
        }
    }
    return Control::eventFilter(watched, event);
}

void EntryControl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    Control::keyPressEvent(event);
}

bool EntryControl::Locked() const
{
    return d->field->isReadOnly();
}

void EntryControl::setLocked(bool locked)
{
    d->field->setReadOnly(locked);
    PropertyChanged(QStringLiteral("Locked"));
}

QString EntryControl::ToolTipText() const
{
    return d->field->toolTip();
}

void EntryControl::setToolTipText(const QString &tip)
{
    d->field->setToolTip(tip);
    PropertyChanged(QStringLiteral("ToolTipText"));
}

uint EntryControl::ForeColor() const
{
    return d->field->property(ForeColorKey).toUInt();
}

void EntryControl::setForeColor(uint color)
{
    d->field->setProperty(ForeColorKey, color);
    QPalette p = d->field->palette();
    p.setColor(QPalette::Text, olecolor::toColor(color));
    d->field->setPalette(p);
    PropertyChanged(QStringLiteral("ForeColor"));
}

} // namespace vq
