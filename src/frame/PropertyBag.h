#pragma once

#include <QString>
#include <QVariant>

namespace vq {

// The host's store of a control's design-time properties.
class PropertyBag
{
public:
    virtual ~PropertyBag() = default;

    // The value stored under name, or defaultValue when the name is absent.
    virtual QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) = 0;
    // Stores value under name; a store may omit a value equal to its default.
    virtual void WriteProperty(
        const QString &name, const QVariant &value, const QVariant &defaultValue = {}) = 0;
};

} // namespace vq
