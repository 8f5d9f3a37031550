#pragma once

#include <QColor>
#include <QtGlobal>

namespace vq {

// Colours as 32-bit values: 0x00BBGGRR for a plain colour, or the top bit set and a system colour index
// in the low byte (0x80000008 is the window-text colour, 0x80000005 the window background).
namespace olecolor {

constexpr quint32 WindowText = 0x80000008u;
constexpr quint32 WindowBackground = 0x80000005u;

QColor toColor(quint32 ole);
quint32 fromColor(const QColor &color);

} // namespace olecolor
} // namespace vq
