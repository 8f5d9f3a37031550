#pragma once

namespace vq {

// The screen-wide mouse pointer: 11 the hourglass, 1 the arrow, 0 the default (no override).
class Screen
{
public:
    enum Pointer { Default = 0, Arrow = 1, Hourglass = 11 };

    static void setMousePointer(int pointer);
    static int MousePointer();
};

} // namespace vq
