#pragma once

#include <QPixmap>

namespace vq {

// The focus marker that entry controls show beside their field while it has the focus: a white gloved hand
// pointing left, towards the entry. Drawn once per size and cached.
QPixmap focusMarkerPixmap(int size = 16);

} // namespace vq
