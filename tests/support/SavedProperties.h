#pragma once

#include "frame/Control.h"
#include "frame/MemoryPropertyBag.h"

#include <QList>
#include <QPair>

namespace vq::test {

// Everything a control saves, defaults included, in its order: two controls that give the same list are
// the same to a form.
inline QList<QPair<QString, QVariant>> savedProperties(vq::Control &control)
{
    vq::MemoryPropertyBag bag;
    control.WriteProperties(bag);
    QList<QPair<QString, QVariant>> values;
    for (const QString &key : bag.keys())
        values.append({key, bag.value(key)});
    return values;
}

} // namespace vq::test
