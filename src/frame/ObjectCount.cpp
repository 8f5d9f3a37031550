#include "frame/ObjectCount.h"

#include <QObject>

#include <atomic>

namespace vq::objects {

namespace {
std::atomic<int> liveObjects {0};
std::atomic<int> serverLocks {0};
} // namespace

void add()
{
    ++liveObjects;
}

void release()
{
    --liveObjects;
}

void track(QObject *object)
{
    if (!object)
        return;
    add();
    QObject::connect(object, &QObject::destroyed, [] { release(); });
}

int live()
{
    return liveObjects;
}

void lock(bool locking)
{
    if (locking)
        ++serverLocks;
    else if (serverLocks > 0)
        --serverLocks;
}

int locks()
{
    return serverLocks;
}

} // namespace vq::objects
