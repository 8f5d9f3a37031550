#include "frame/MemoryPropertyBag.h"

#include <QHash>

namespace vq {

struct MemoryPropertyBag::Private
{
    QStringList order;
    QHash<QString, QVariant> values;
    QStringList reads;
    bool omitDefaults = false;
};

MemoryPropertyBag::MemoryPropertyBag()
    : d(std::make_unique<Private>())
{ }

MemoryPropertyBag::~MemoryPropertyBag() = default;

MemoryPropertyBag::MemoryPropertyBag(const MemoryPropertyBag &other)
    : d(std::make_unique<Private>(*other.d))
{ }

MemoryPropertyBag &MemoryPropertyBag::operator=(const MemoryPropertyBag &other)
{
    *d = *other.d;
    return *this;
}

QVariant MemoryPropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue)
{
    d->reads.append(name);
    auto it = d->values.constFind(name);
    return it == d->values.constEnd() ? defaultValue : *it;
}

void MemoryPropertyBag::WriteProperty(
    const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    if (d->omitDefaults && defaultValue.isValid() && value == defaultValue) {
        remove(name);
        return;
    }
    if (!d->values.contains(name))
        d->order.append(name);
    d->values.insert(name, value);
}

QStringList MemoryPropertyBag::keys() const
{
    return d->order;
}

bool MemoryPropertyBag::contains(const QString &name) const
{
    return d->values.contains(name);
}

QVariant MemoryPropertyBag::value(const QString &name) const
{
    return d->values.value(name);
}

void MemoryPropertyBag::remove(const QString &name)
{
    d->values.remove(name);
    d->order.removeAll(name);
}

void MemoryPropertyBag::clear()
{
    d->values.clear();
    d->order.clear();
    d->reads.clear();
}

void MemoryPropertyBag::setOmitDefaults(bool omit)
{
    d->omitDefaults = omit;
}

bool MemoryPropertyBag::omitDefaults() const
{
    return d->omitDefaults;
}

QStringList MemoryPropertyBag::readLog() const
{
    return d->reads;
}

} // namespace vq
