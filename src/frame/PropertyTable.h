#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class QObject;

namespace vq {

class PropertyBag;

// How a saved property is typed in the bag: the typed read (a stored value that cannot be taken as the
// type is refused with vq::Error 13 naming the key) and the type of the value written.
//   Boolean  a bag boolean; reads -1 or true as true, any other number as false; a bool to the control
//   Byte     8-bit unsigned      Int16, Int32   signed integers      UInt32   colours (signed accepted)
//   Double   a number           String         text                 Variant  whatever the bag holds
enum class BagType { Boolean, Byte, Int16, Int32, UInt32, Double, String, Variant };

// The saved properties of one control, each declared once: key, bag type, default and where the value
// comes from and goes. Control::ReadProperties and WriteProperties walk it in order, so reader and
// writer can never disagree on a key, a type or a default.
//
//   const vq::PropertyTable &VqFoo::propertyTable() const
//   {
//       using vq::BagType;
//       static const vq::PropertyTable table({
//           {"Caption", BagType::String, QStringLiteral("&New")},       // the Q_PROPERTY "Caption"
//           {"MaxLength", BagType::Int32, short(0)},                      // default written as 16-bit
//           vq::PropertyTable::Entry("Text", BagType::String, QString())  // loaded without side effects
//               .set<VqFoo>([](VqFoo &c, const QVariant &v) { c.d->text1->setText(v.toString()); }),
//           vq::PropertyTable::Entry("ListIndex", BagType::Int16, short(0))   // also writeWhen, when
//               .readWhen<VqFoo>([](const VqFoo &c) { return c.ListCount() > 0; }),
//           vq::PropertyTable::Entry("Value", BagType::Variant, QVariant())
//               .defaultAt([] { return QVariant(QDate::currentDate()); }),     // today, when used
//       });
//       return table;
//   }
//
// Without set/get an entry uses the control's Q_PROPERTY of the same name; Control::ReadProperties
// holds back property-change notifications while it loads. readInOrder() gives a reading order that
// differs from the writing order; interfaceProperties lists the control's public properties in
// interface order (by default the saved keys), which the conformance tests compare with the
// meta-object.
class PropertyTable
{
public:
    struct Entry
    {
        Entry(const char *key, BagType type, QVariant defaultValue);

        QString key;
        BagType type;
        QVariant defaultValue; // handed to the bag on both read and write, typed as declared
        std::function<void(QObject &, const QVariant &)> setter; // null: the Q_PROPERTY named key
        std::function<QVariant(const QObject &)> getter; // null: the Q_PROPERTY named key
        std::function<QVariant()> defaultNow; // a default taken at the moment of use
        std::function<bool(const QObject &)> readCondition; // the key is read only while it holds
        std::function<bool(const QObject &)> writeCondition; // the key is written only while it holds
        bool written = true;
        bool read = true;

        template<class C, class F>
        Entry set(F f) const
        {
            Entry e = *this;
            e.setter = [f](QObject &o, const QVariant &v) { f(static_cast<C &>(o), v); };
            return e;
        }
        template<class C, class F>
        Entry get(F f) const
        {
            Entry e = *this;
            e.getter = [f](const QObject &o) { return QVariant(f(static_cast<const C &>(o))); };
            return e;
        }
        template<class C, class F>
        Entry readWhen(F f) const
        {
            Entry e = *this;
            e.readCondition = [f](const QObject &o) { return bool(f(static_cast<const C &>(o))); };
            return e;
        }
        template<class C, class F>
        Entry writeWhen(F f) const
        {
            Entry e = *this;
            e.writeCondition = [f](const QObject &o) { return bool(f(static_cast<const C &>(o))); };
            return e;
        }
        // Read and written only while the condition holds (a list's keys while it has items).
        template<class C, class F>
        Entry when(F f) const
        {
            return readWhen<C>(f).template writeWhen<C>(f);
        }
        Entry defaultAt(std::function<QVariant()> f) const;
        // Saved but never read back (or the reverse): for keys a control carries only one way.
        Entry writeOnly() const;
        Entry readOnly() const;

        // The default as used now (defaultNow when given).
        QVariant currentDefault() const;
    };

    PropertyTable() = default;
    PropertyTable(std::vector<Entry> entries, QStringList interfaceProperties = {});

    // Keys in the order ReadProperties reads them when it differs from the writing order; every key read
    // must be listed.
    PropertyTable readInOrder(QStringList keys) const;

    const std::vector<Entry> &entries() const { return m_entries; }
    const Entry *find(const QString &key) const;
    QStringList writtenKeys() const;
    QStringList readKeys() const;
    QStringList interfaceProperties() const;

    void read(QObject &control, PropertyBag &bag) const;
    void write(const QObject &control, PropertyBag &bag) const;

    // One typed read from the bag (error 13 naming the key for a value of the wrong type).
    static QVariant readValue(PropertyBag &bag, const QString &key, BagType type, const QVariant &def);
    // A value as the bag type writes it.
    static QVariant bagValue(const QVariant &value, BagType type);

private:
    std::vector<Entry> m_entries;
    QStringList m_interface;
    QStringList m_readOrder;
};

} // namespace vq
