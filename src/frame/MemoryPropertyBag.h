#pragma once

#include "frame/PropertyBag.h"

#include <QStringList>

#include <memory>

namespace vq {

// An ordered in-memory property bag: it keeps every written key in write order (a rewrite keeps the key's
// first place), and can be told to omit values equal to their defaults, as a form file would.
class MemoryPropertyBag : public PropertyBag
{
public:
    MemoryPropertyBag();
    ~MemoryPropertyBag() override;
    MemoryPropertyBag(const MemoryPropertyBag &other);
    MemoryPropertyBag &operator=(const MemoryPropertyBag &other);

    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) override;
    void WriteProperty(
        const QString &name, const QVariant &value, const QVariant &defaultValue = {}) override;

    // The keys held, in the order they were first written.
    QStringList keys() const;
    bool contains(const QString &name) const;
    QVariant value(const QString &name) const;
    void remove(const QString &name);
    void clear();

    // When set, a write whose value equals its default removes the key instead of storing it.
    void setOmitDefaults(bool omit);
    bool omitDefaults() const;

    // The names asked for by ReadProperty, in order (present or not): lets hosts and tests see what a
    // control reads.
    QStringList readLog() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
