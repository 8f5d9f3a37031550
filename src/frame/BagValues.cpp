#include "frame/BagValues.h"

#include "frame/PropertyBag.h"
#include "platform/Error.h"

#include <cmath>
#include <limits>

namespace vq::bag {

namespace {
[[noreturn]] void refuse(const QString &name, const QVariant &v, const char *expected)
{
    throw Error(Error::TypeMismatch,
        QStringLiteral("Type mismatch: property \"%1\" holds %2 \"%3\" where %4 is "
                       "expected")
            .arg(name, QString::fromLatin1(v.typeName()), v.toString(), QString::fromLatin1(expected)));
}

qint64 readInteger(
    PropertyBag &bag, const QString &name, qint64 def, qint64 lo, qint64 hi, const char *expected)
{
    const QVariant v = bag.ReadProperty(name, def);
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::Bool:
        n = v.toBool() ? -1 : 0;
        ok = true;
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        // Converting a double outside the 64-bit range (or NaN) is undefined, so the range comes first.
        const double d = v.toDouble();
        ok = d >= -9223372036854775808.0 && d < 9223372036854775808.0 && d == std::trunc(d);
        n = ok ? qint64(d) : 0;
        break;
    }
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok);
        break;
    default:
        n = v.toLongLong(&ok);
        break;
    }
    if (!ok || n < lo || n > hi)
        refuse(name, v, expected);
    return n;
}
} // namespace

short readInt16(PropertyBag &bag, const QString &name, short def)
{
    return short(readInteger(bag, name, def, std::numeric_limits<short>::min(),
        std::numeric_limits<short>::max(), "a 16-bit integer"));
}

int readInt32(PropertyBag &bag, const QString &name, int def)
{
    return int(readInteger(bag, name, def, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
        "a 32-bit integer"));
}

quint32 readUInt32(PropertyBag &bag, const QString &name, quint32 def)
{
    // Colours are written as unsigned values but hosts often hand them back signed.
    const qint64 n = readInteger(bag, name, def, std::numeric_limits<int>::min(),
        std::numeric_limits<quint32>::max(), "a 32-bit value");
    return quint32(n);
}

quint8 readByte(PropertyBag &bag, const QString &name, quint8 def)
{
    return quint8(readInteger(bag, name, def, 0, 255, "a byte (0 to 255)"));
}

short readBoolean(PropertyBag &bag, const QString &name, short def)
{
    return short(readInteger(
        bag, name, def, std::numeric_limits<short>::min(), std::numeric_limits<short>::max(), "a boolean"));
}

bool readBool(PropertyBag &bag, const QString &name, bool def)
{
    return readBoolean(bag, name, def ? -1 : 0) == -1;
}

QString readString(PropertyBag &bag, const QString &name, const QString &def)
{
    const QVariant v = bag.ReadProperty(name, def);
    if (v.isNull())
        return QString();
    if (!v.canConvert<QString>() || v.typeId() == QMetaType::QVariantList ||
        v.typeId() == QMetaType::QVariantMap)
        refuse(name, v, "text");
    return v.toString();
}

double readDouble(PropertyBag &bag, const QString &name, double def)
{
    const QVariant v = bag.ReadProperty(name, def);
    bool ok = false;
    const double d =
        v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok)
        refuse(name, v, "a number");
    return d;
}

} // namespace vq::bag
