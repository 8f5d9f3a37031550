#pragma once

#include <QString>
#include <QVariant>

namespace vq {

class PropertyBag;

// Typed reads from a property bag. A stored value that cannot be taken as the expected type (text where
// a number is expected, a number out of the type's range) is refused with vq::Error 13 naming the key,
// never turned into a silent zero.
namespace bag {

short readInt16(PropertyBag &bag, const QString &name, short defaultValue);
int readInt32(PropertyBag &bag, const QString &name, int defaultValue);
quint32 readUInt32(PropertyBag &bag, const QString &name, quint32 defaultValue);
quint8 readByte(PropertyBag &bag, const QString &name, quint8 defaultValue);
// A 16-bit boolean: -1 true, 0 false. A stored bool true reads as -1; other numbers are kept as they are
// (only -1 counts as true where the controls test it).
short readBoolean(PropertyBag &bag, const QString &name, short defaultValue);
// A Qt bool (for flags that live in Qt widgets); only -1 or a bool true give true.
bool readBool(PropertyBag &bag, const QString &name, bool defaultValue);
QString readString(PropertyBag &bag, const QString &name, const QString &defaultValue);
// A number (a numeric text is accepted; other text is refused).
double readDouble(PropertyBag &bag, const QString &name, double defaultValue);

} // namespace bag
} // namespace vq
