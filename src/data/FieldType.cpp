#include "data/FieldType.h"

#include <QRegularExpression>

namespace vq {

namespace {

constexpr qint64 LongSize = 2147483647;

qint64 sizeIn(const QString &declared, qint64 otherwise)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const QRegularExpressionMatch m = size.match(declared);
    return m.hasMatch() ? m.captured(1).toLongLong() : otherwise;
}

} // namespace

FieldType fieldTypeFromDeclaredType(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toLower();
    const QString base = t.section(QLatin1Char('('), 0, 0).simplified();
    auto is = [&](std::initializer_list<const char *> names) {
        for (const char *n : names) {
            if (base == QLatin1String(n))
                return true;
        }
        return false;
    };
    if (is({"integer", "int", "mediumint", "int4"}))
        return {AdoType::Integer, 4};
    if (is({"bigint", "int8"}))
        return {AdoType::BigInt, 8};
    if (is({"unsigned big int", "unsigned bigint"}))
        return {AdoType::UnsignedBigInt, 8};
    if (is({"smallint", "int2"}))
        return {AdoType::SmallInt, 2};
    if (is({"tinyint"}))
        return {AdoType::TinyInt, 1};
    if (is({"boolean", "bool", "bit"}))
        return {AdoType::Boolean, 2};
    if (is({"real", "float4"}))
        return {AdoType::Single, 4};
    if (is({"float", "double", "double precision", "float8"}))
        return {AdoType::Double, 8};
    if (is({"numeric", "decimal", "number"}))
        return {AdoType::Numeric, 19};
    if (is({"money", "currency"}))
        return {AdoType::Currency, 8};
    if (is({"date"}))
        return {AdoType::DBDate, 6};
    if (is({"time"}))
        return {AdoType::DBTime, 6};
    if (is({"datetime", "timestamp", "smalldatetime", "timestamp without time zone"}))
        return {AdoType::DBTimeStamp, 16};
    if (is({"nvarchar", "national varchar", "nchar varying", "national character varying"}))
        return {AdoType::VarWChar, sizeIn(t, 255)};
    if (is({"varchar", "character varying", "varying character", "varchar2"}))
        return {AdoType::VarChar, sizeIn(t, 255)};
    if (is({"nchar", "national character", "national char"}))
        return {AdoType::WChar, sizeIn(t, 1)};
    if (is({"char", "character"}))
        return {AdoType::Char, sizeIn(t, 1)};
    if (is({"ntext"}))
        return {AdoType::LongVarWChar, LongSize};
    if (is({"text", "clob", "memo", "longtext", "mediumtext"}))
        return {AdoType::LongVarChar, LongSize};
    if (is({"binary"}))
        return {AdoType::Binary, sizeIn(t, 1)};
    if (is({"varbinary"}))
        return {AdoType::VarBinary, sizeIn(t, 255)};
    if (is({"blob", "longblob", "image"}))
        return {AdoType::LongVarBinary, LongSize};

    // SQLite's own affinity rules for everything else.
    if (t.contains(QLatin1String("int")))
        return {AdoType::Integer, 4};
    if (t.contains(QLatin1String("char")) || t.contains(QLatin1String("clob")) ||
        t.contains(QLatin1String("text")))
        return {AdoType::LongVarChar, LongSize};
    if (t.isEmpty() || t.contains(QLatin1String("blob")))
        return {AdoType::LongVarBinary, LongSize};
    if (t.contains(QLatin1String("real")) || t.contains(QLatin1String("floa")) ||
        t.contains(QLatin1String("doub")))
        return {AdoType::Double, 8};
    return {AdoType::Numeric, 19};
}

FieldType fieldTypeFromOdbc(int sqlType, qint64 columnSize, bool isUnsigned)
{
    // Numbers of the ODBC SQL types, so that this file needs no ODBC header.
    switch (sqlType) {
    case 1: // SQL_CHAR
        return {AdoType::Char, columnSize};
    case 12: // SQL_VARCHAR
        return {AdoType::VarChar, columnSize};
    case -1: // SQL_LONGVARCHAR
        return {AdoType::LongVarChar, columnSize};
    case -8: // SQL_WCHAR
        return {AdoType::WChar, columnSize};
    case -9: // SQL_WVARCHAR
        return {AdoType::VarWChar, columnSize};
    case -10: // SQL_WLONGVARCHAR
        return {AdoType::LongVarWChar, columnSize};
    case 2: // SQL_NUMERIC
    case 3: // SQL_DECIMAL
        return {AdoType::Numeric, 19};
    case 5: // SQL_SMALLINT
        return {isUnsigned ? AdoType::UnsignedSmallInt : AdoType::SmallInt, 2};
    case 4: // SQL_INTEGER
        return {isUnsigned ? AdoType::UnsignedInt : AdoType::Integer, 4};
    case -5: // SQL_BIGINT
        return {isUnsigned ? AdoType::UnsignedBigInt : AdoType::BigInt, 8};
    case -6: // SQL_TINYINT
        return {isUnsigned ? AdoType::UnsignedTinyInt : AdoType::TinyInt, 1};
    case 7: // SQL_REAL
        return {AdoType::Single, 4};
    case 6: // SQL_FLOAT
    case 8: // SQL_DOUBLE
        return {AdoType::Double, 8};
    case -7: // SQL_BIT
        return {AdoType::Boolean, 2};
    case 9: // SQL_DATE
    case 91: // SQL_TYPE_DATE
        return {AdoType::DBDate, 6};
    case 10: // SQL_TIME
    case 92: // SQL_TYPE_TIME
        return {AdoType::DBTime, 6};
    case 11: // SQL_TIMESTAMP
    case 93: // SQL_TYPE_TIMESTAMP
        return {AdoType::DBTimeStamp, 16};
    case -2: // SQL_BINARY
        return {AdoType::Binary, columnSize};
    case -3: // SQL_VARBINARY
        return {AdoType::VarBinary, columnSize};
    case -4: // SQL_LONGVARBINARY
        return {AdoType::LongVarBinary, columnSize};
    case -11: // SQL_GUID
        return {AdoType::Guid, 16};
    default:
        return {AdoType::VarWChar, columnSize > 0 ? columnSize : 255};
    }
}

bool isIntegerType(int type)
{
    return type == AdoType::SmallInt || type == AdoType::Integer || type == AdoType::Boolean ||
        (type >= AdoType::TinyInt && type <= AdoType::UnsignedBigInt);
}

bool isNumberType(int type)
{
    return (isIntegerType(type) && type != AdoType::Boolean) || type == AdoType::Single ||
        type == AdoType::Double || type == AdoType::Currency || type == AdoType::Decimal ||
        type == AdoType::Numeric;
}

bool isDateType(int type)
{
    return type == AdoType::Date || type == AdoType::DBDate || type == AdoType::DBTime ||
        type == AdoType::DBTimeStamp;
}

bool isBinaryType(int type)
{
    return type == AdoType::Binary || type == AdoType::VarBinary || type == AdoType::LongVarBinary;
}

} // namespace vq
