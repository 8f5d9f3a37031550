#pragma once

// Live message boxes and locks of this module alone: VqControls keeps its own count, and each library
// answers DllCanUnloadNow for itself.
namespace vq::message::count {

void add();
void release();
int live();
void lock(bool locking);
int locks();

} // namespace vq::message::count
