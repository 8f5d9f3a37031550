#pragma once

#include <QString>

namespace vq {

// Queues keystrokes for the widget that has the focus, as the desktop's send-keys service does: they are
// posted, not sent, so they are processed after the current handler returns. Understands plain characters,
// {TAB}, {DOWN}, {UP}, {LEFT}, {RIGHT}, {ENTER}, {ESCAPE} (or {ESC}), {F1}..{F12}, {BACKSPACE}, {DELETE},
// {HOME}, {END}, and the prefixes + (Shift), ^ (Ctrl) and % (Alt) for the next key.
// Throws vq::Error 5 for an unknown {NAME} or an unbalanced brace; nothing is queued then.
void SendKeys(const QString &keys);

} // namespace vq
