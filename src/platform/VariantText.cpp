#include "platform/VariantText.h"

#include "platform/AutomationDecimal.h"
#include "platform/DateText.h"
#include "platform/Error.h"
#include "platform/NumberText.h"

namespace vq {

QString variantToText(const QVariant &value, const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        throw Error(Error::InvalidUseOfNull);
    if (value.metaType() == QMetaType::fromType<AutomationDecimal>())
        return value.value<AutomationDecimal>().toText(locale);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return numberToText(value.toDouble(), locale);
    case QMetaType::QDate:
        return dateToText(value.toDate(), locale);
    case QMetaType::QDateTime:
        return dateToText(value.toDateTime(), locale);
    case QMetaType::QTime:
        return locale.toString(value.toTime(), longTimeFormat(locale));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

} // namespace vq
