#include "data/Driver.h"

namespace vq {

ColumnStore::Kind storageKindFor(int adoType)
{
    if (isIntegerType(adoType))
        return ColumnStore::Kind::Integer;
    if (adoType == AdoType::Decimal || adoType == AdoType::Numeric)
        return ColumnStore::Kind::Decimal;
    if (isNumberType(adoType))
        return ColumnStore::Kind::Double;
    if (isDateType(adoType))
        return ColumnStore::Kind::DateTime;
    if (isBinaryType(adoType))
        return ColumnStore::Kind::Bytes;
    return ColumnStore::Kind::Text;
}

std::vector<ColumnStore::Kind> DriverCursor::storageKinds() const
{
    std::vector<ColumnStore::Kind> kinds;
    for (const ColumnInfo &c : columns())
        kinds.push_back(storageKindFor(c.type.type));
    return kinds;
}

Error statementCancelled()
{
    return Error(ProviderErrorNumber, QStringLiteral("The statement was cancelled."));
}

} // namespace vq
