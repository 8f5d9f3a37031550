#pragma once

#include "platform/Error.h"

#include <QString>

#include <functional>

namespace vq::test {

// The number of the vq::Error that f throws, or 0 when it throws none.
inline int errorNumber(const std::function<void()> &f)
{
    try {
        f();
    } catch (const vq::Error &e) {
        return e.number();
    }
    return 0;
}

// The description of the vq::Error that f throws, or an empty text when it throws none.
inline QString errorText(const std::function<void()> &f)
{
    try {
        f();
    } catch (const vq::Error &e) {
        return e.description();
    }
    return QString();
}

} // namespace vq::test
