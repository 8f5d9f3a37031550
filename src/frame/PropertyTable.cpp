#include "frame/PropertyTable.h"

#include "frame/BagValues.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/PropertyBag.h"
#include "platform/Error.h"

#include <QMetaProperty>
#include <QObject>

namespace vq {

PropertyTable::Entry::Entry(const char *key, BagType type, QVariant defaultValue)
    : key(QString::fromLatin1(key))
    , type(type)
    , defaultValue(std::move(defaultValue))
{ }

PropertyTable::Entry PropertyTable::Entry::defaultAt(std::function<QVariant()> f) const
{
    Entry e = *this;
    e.defaultNow = std::move(f);
    return e;
}

PropertyTable::Entry PropertyTable::Entry::writeOnly() const
{
    Entry e = *this;
    e.read = false;
    return e;
}

PropertyTable::Entry PropertyTable::Entry::readOnly() const
{
    Entry e = *this;
    e.written = false;
    return e;
}

QVariant PropertyTable::Entry::currentDefault() const
{
    return defaultNow ? defaultNow() : defaultValue;
}

PropertyTable::PropertyTable(std::vector<Entry> entries, QStringList interfaceProperties)
    : m_entries(std::move(entries))
    , m_interface(std::move(interfaceProperties))
{ }

PropertyTable PropertyTable::readInOrder(QStringList keys) const
{
    PropertyTable t = *this;
    t.m_readOrder = std::move(keys);
    return t;
}

const PropertyTable::Entry *PropertyTable::find(const QString &key) const
{
    for (const Entry &e : m_entries) {
        if (e.key == key)
            return &e;
    }
    return nullptr;
}

QStringList PropertyTable::writtenKeys() const
{
    QStringList keys;
    for (const Entry &e : m_entries) {
        if (e.written)
            keys.append(e.key);
    }
    return keys;
}

QStringList PropertyTable::readKeys() const
{
    if (!m_readOrder.isEmpty())
        return m_readOrder;
    QStringList keys;
    for (const Entry &e : m_entries) {
        if (e.read)
            keys.append(e.key);
    }
    return keys;
}

QStringList PropertyTable::interfaceProperties() const
{
    if (!m_interface.isEmpty())
        return m_interface;
    QStringList keys;
    for (const Entry &e : m_entries)
        keys.append(e.key);
    return keys;
}

QVariant PropertyTable::readValue(PropertyBag &bag, const QString &key, BagType type, const QVariant &def)
{
    switch (type) {
    case BagType::Boolean:
        return bag::readBool(bag, key, def.toBool());
    case BagType::Byte:
        return QVariant::fromValue(bag::readByte(bag, key, quint8(def.toUInt())));
    case BagType::Int16:
        return QVariant::fromValue(bag::readInt16(bag, key, short(def.toInt())));
    case BagType::Int32:
        return bag::readInt32(bag, key, def.toInt());
    case BagType::UInt32:
        return bag::readUInt32(bag, key, def.toUInt());
    case BagType::Double:
        return bag::readDouble(bag, key, def.toDouble());
    case BagType::String:
        return bag::readString(bag, key, def.toString());
    case BagType::Variant:
        return bag.ReadProperty(key, def);
    }
    return def;
}

QVariant PropertyTable::bagValue(const QVariant &value, BagType type)
{
    switch (type) {
    case BagType::Boolean:
        return value.toBool();
    case BagType::Byte:
        return QVariant::fromValue(quint8(value.toUInt()));
    case BagType::Int16:
        return QVariant::fromValue(short(value.toInt()));
    case BagType::Int32:
        return value.toInt();
    case BagType::UInt32:
        return value.toUInt();
    case BagType::Double:
        return value.toDouble();
    case BagType::String:
        return value.toString();
    case BagType::Variant:
        return value;
    }
    return value;
}

namespace {

// Applies the bag's values in the table's reading order.
void apply(const PropertyTable &table, QObject &control, PropertyBag &bag)
{
    for (const QString &key : table.readKeys()) {
        const PropertyTable::Entry *e = table.find(key);
        if (!e || (e->readCondition && !e->readCondition(control)))
            continue;
        const QVariant value = PropertyTable::readValue(bag, e->key, e->type, e->currentDefault());
        if (e->setter) {
            e->setter(control, value);
        } else if (!control.setProperty(e->key.toLatin1().constData(), value)) {
            throw Error(Error::InvalidPropertyValue,
                QStringLiteral("Invalid property value: %1 cannot take \"%2\" for property \"%3\"")
                    .arg(QString::fromLatin1(control.metaObject()->className()), value.toString(), e->key));
        }
    }
}

} // namespace

void PropertyTable::read(QObject &control, PropertyBag &bag) const
{
    // A value refused part-way must not leave a half-loaded control: what was applied before it is put
    // back from what the control held, and the refusal goes on to the host.
    MemoryPropertyBag before;
    write(control, before);
    try {
        apply(*this, control, bag);
    } catch (...) {
        try {
            apply(*this, control, before);
        } catch (...) { }
        throw;
    }
}

void PropertyTable::write(const QObject &control, PropertyBag &bag) const
{
    for (const Entry &e : m_entries) {
        if (!e.written || (e.writeCondition && !e.writeCondition(control)))
            continue;
        const QVariant value = e.getter ? e.getter(control) : control.property(e.key.toLatin1().constData());
        bag.WriteProperty(e.key, bagValue(value, e.type), e.currentDefault());
    }
}

} // namespace vq
