#pragma once

#include <atomic>

class QObject;

namespace vq {

// Live objects and factory locks of one server library, the answer to whether it may be unloaded. Each
// library keeps its own: VqControls' (vq::objects) and the message component's.
class ServerCount
{
public:
    void add() { ++m_live; }
    void release() { --m_live; }
    // Counts an object that does not count itself until it is destroyed.
    void track(QObject *object);
    int live() const { return m_live; }
    // An unlock without a lock is ignored, so that a later lock still holds the library.
    void lock(bool locking);
    int locks() const { return m_locks; }
    bool canUnload() const { return m_live == 0 && m_locks == 0; }

private:
    std::atomic<int> m_live {0};
    std::atomic<int> m_locks {0};
};

} // namespace vq
