#include "helplist/LookupTexts.h"

#include "data/FieldType.h"
#include "platform/Blanks.h"
#include "platform/Error.h"
#include "platform/NumberText.h"

#include <limits>

namespace vq::helplist {

namespace {
QString likeText(const QString &name, const QString &typed)
{
    return QStringLiteral("[%1] like '%2%'").arg(name, trimBlanks(typed));
}

QString equalText(const QString &name, const QString &value)
{
    return QStringLiteral("[%1] = %2").arg(name, value);
}
} // namespace

bool comparesAsNumber(int type)
{
    using namespace AdoType;
    switch (type) {
    case SmallInt:
    case Integer:
    case Single:
    case Double:
    case Currency:
    case Decimal:
    case TinyInt:
    case UnsignedTinyInt:
    case UnsignedSmallInt:
    case UnsignedInt:
    case BigInt:
    case UnsignedBigInt:
    case Numeric:
        return true;
    default:
        return false;
    }
}

QString numberText(const QString &typed, const QLocale &locale)
{
    return numberToText(val(typed), locale);
}

QString searchCriterion(const QString &name, int type, const QString &typed, const QLocale &locale)
{
    if (comparesAsNumber(type))
        return equalText(name, numberText(typed, locale));
    if (type == AdoType::DBTimeStamp)
        return QString();
    return likeText(name, typed);
}

QString filterCondition(const QString &name, int type, const QString &typed, const QLocale &locale)
{
    if (comparesAsNumber(type))
        return equalText(name, numberText(typed, locale));
    if (type == AdoType::DBTimeStamp)
        return equalText(name, typed);
    return likeText(name, typed);
}

bool isEmptyLike(const QString &criterion)
{
    return criterion.endsWith(QLatin1String("'%'"));
}

QString joinFilter(const QString &filter, const QString &condition)
{
    if (trimBlanks(filter).isEmpty())
        return condition;
    return filter + QLatin1String(" and ") + condition;
}

QString sortText(const QString &name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

int columnWidthTwips(int type, qint64 definedSize)
{
    qint64 characters = comparesAsNumber(type) || type == AdoType::Date ? 15 : definedSize;
    if (characters < 10)
        characters = 10;
    if (characters > std::numeric_limits<int>::max() / 100)
        throw Error(Error::Overflow);
    return int(characters * 100);
}

QString fetchedCaption(qint64 count)
{
    return QString::number(count) + QLatin1String(" Fetched");
}

} // namespace vq::helplist
