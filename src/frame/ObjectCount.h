#pragma once

#include "frame/ServerCount.h"

namespace vq::objects {

// The live objects and factory locks of this library, for DllCanUnloadNow. Every vq::Control counts
// itself; the class table tracks the other objects it creates.
ServerCount &library();

} // namespace vq::objects
