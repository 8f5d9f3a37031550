#pragma once

class QObject;

namespace vq {

// Live objects and factory locks of the library, for DllCanUnloadNow.
namespace objects {

void add();
void release();
// Counts an object that does not count itself (anything but a vq::Control) until it is destroyed.
void track(QObject *object);
int live();
void lock(bool locking);
int locks();

} // namespace objects
} // namespace vq
