#pragma once

#include "frame/ClassTable.h"

#include <QStringList>

namespace vq::test {

// The class names of every control this build provides, in class-table order.
inline QStringList availableControlNames()
{
    QStringList names;
    for (const vq::ClassTable::ClassInfo &info : vq::ClassTable::classes()) {
        if (info.kind == vq::ClassTable::Kind::Control && vq::ClassTable::isAvailable(info.name))
            names.append(info.name);
    }
    return names;
}

} // namespace vq::test
