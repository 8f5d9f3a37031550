#include "frame/EntryField.h"

#include "platform/Error.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vq {

namespace {
// A window being deactivated or a pop-up menu opening is not the user leaving the field, and the focus
// coming back from them is not the user entering it again.
bool leavesTheField(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

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

EntryField::EntryField(QWidget *parent)
    : QLineEdit(parent)
{ }

void EntryField::deliverKey(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
}

void EntryField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (m_entered)
        return;
    m_entered = true;
    if (onFocusIn)
        guarded(onFocusIn);
}

void EntryField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_entered || !leavesTheField(event->reason()))
        return;
    m_entered = false;
    if (onFocusOut)
        guarded(onFocusOut);
}

void EntryField::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    if (onKeyPress)
        guarded([&] { handled = onKeyPress(event); });
    if (!handled)
        QLineEdit::keyPressEvent(event);
}

void EntryField::mousePressEvent(QMouseEvent *event)
{
    if (onMousePress)
        guarded([&] { onMousePress(event); });
    QLineEdit::mousePressEvent(event);
}

void EntryField::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (onDoubleClick)
        guarded(onDoubleClick);
}

} // namespace vq
