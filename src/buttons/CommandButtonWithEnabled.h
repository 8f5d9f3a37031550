#pragma once

#include "buttons/CommandButton.h"

namespace vq {

// A command button that the host can switch off. The state is the control's own: a disabled control takes
// no mouse or keyboard input, while Command1's own enabled flag is left alone (it greys with its parent).
class CommandButtonWithEnabled : public CommandButton
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledProperty)

protected:
    using CommandButton::CommandButton;
};

} // namespace vq
