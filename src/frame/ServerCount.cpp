#include "frame/ServerCount.h"

#include <QObject>

namespace vq {

void ServerCount::track(QObject *object)
{
    if (!object)
        return;
    add();
    QObject::connect(object, &QObject::destroyed, [this] { release(); });
}

void ServerCount::lock(bool locking)
{
    if (locking) {
        ++m_locks;
        return;
    }
    int current = m_locks;
    while (current > 0 && !m_locks.compare_exchange_weak(current, current - 1)) { }
}

} // namespace vq
