#include "platform/OleColor.h"

#include <QApplication>
#include <QPalette>

namespace vq::olecolor {

QColor toColor(quint32 ole)
{
    if (ole & 0x80000000u) {
        const QPalette p = QApplication::palette();
        switch (ole & 0xffu) {
        case 5:
            return p.color(QPalette::Base);
        case 8:
            return p.color(QPalette::Text);
        case 15:
            return p.color(QPalette::Button);
        case 18:
            return p.color(QPalette::ButtonText);
        case 13:
            return p.color(QPalette::Highlight);
        case 14:
            return p.color(QPalette::HighlightedText);
        default:
            return p.color(QPalette::WindowText);
        }
    }
    return QColor(int(ole & 0xffu), int((ole >> 8) & 0xffu), int((ole >> 16) & 0xffu));
}

quint32 fromColor(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace vq::olecolor
