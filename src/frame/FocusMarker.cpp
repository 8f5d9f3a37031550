#include "frame/FocusMarker.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace vq {

QPixmap focusMarkerPixmap(int size)
{
    static QHash<int, QPixmap> cache;
    if (auto it = cache.constFind(size); it != cache.constEnd())
        return *it;

    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(Qt::white);

    // Index finger pointing left, then the fist with three folded fingers, then the cuff.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(1.0, 5.0, 8.0, 2.6), 1.2, 1.2);
    hand.addRoundedRect(QRectF(6.0, 5.0, 6.0, 8.0), 1.6, 1.6);
    p.drawPath(hand.simplified());
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(6.5, 8.0 + i * 1.8), QPointF(9.0, 8.0 + i * 1.8));
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(QRectF(12.0, 5.5, 2.8, 7.0));
    p.end();

    cache.insert(size, pixmap);
    return pixmap;
}

} // namespace vq
