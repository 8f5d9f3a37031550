#pragma once

namespace vq {

// The 16-bit boolean of the controls' rules: true is all bits set (-1), false is 0, and the rules compare
// with true exactly, so any other value counts as false. Hosts see plain bools; this stays inside.
//
//   short flag = vq::toBoolean(host's bool);   if (vq::isTrue(flag)) ...
constexpr short BooleanTrue = -1;
constexpr short BooleanFalse = 0;

constexpr short toBoolean(bool value)
{
    return value ? BooleanTrue : BooleanFalse;
}

constexpr bool isTrue(short flag)
{
    return flag == BooleanTrue;
}

} // namespace vq
