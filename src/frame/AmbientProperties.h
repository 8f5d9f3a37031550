#pragma once

#include <QApplication>
#include <QFont>

namespace vq {

// What a control's host tells it about its surroundings: whether the form is running (true) or being
// designed (false), and the form's font.
struct AmbientProperties
{
    bool UserMode = true;
    QFont Font = QApplication::font();
};

} // namespace vq
