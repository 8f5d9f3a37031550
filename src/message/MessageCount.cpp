#include "MessageCount.h"

#include <atomic>

namespace vq::message::count {

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

} // namespace vq::message::count
