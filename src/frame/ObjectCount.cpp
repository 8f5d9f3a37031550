#include "frame/ObjectCount.h"

namespace vq::objects {

ServerCount &library()
{
    static ServerCount count;
    return count;
}

} // namespace vq::objects
