#include "platform/Screen.h"

#include <QCursor>
#include <QGuiApplication>

namespace vq {

namespace {
int currentPointer = Screen::Default;
}

void Screen::setMousePointer(int pointer)
{
    // One override at a time: the pointer is a screen-wide setting, not a stack.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    currentPointer = pointer;
    if (pointer == Hourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (pointer == Arrow)
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    else
        currentPointer = Default;
}

int Screen::MousePointer()
{
    return currentPointer;
}

} // namespace vq
