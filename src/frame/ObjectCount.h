#pragma once

namespace vq {

// Live objects and factory locks of the library, for DllCanUnloadNow.
namespace objects {

void add();
void release();
int live();
void lock(bool locking);
int locks();

} // namespace objects
} // namespace vq
