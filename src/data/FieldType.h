#pragma once

#include <QString>

namespace vq {

// Data-type codes of record-set fields: the published ADO data-type enumeration.
namespace AdoType {
enum : int {
    Empty = 0,
    SmallInt = 2, // 16-bit integer
    Integer = 3, // 32-bit integer
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7, // automation date
    Boolean = 11,
    Decimal = 14,
    TinyInt = 16,
    UnsignedTinyInt = 17,
    UnsignedSmallInt = 18,
    UnsignedInt = 19,
    BigInt = 20,
    UnsignedBigInt = 21,
    Guid = 72,
    Binary = 128,
    Char = 129,
    WChar = 130,
    Numeric = 131,
    DBDate = 133,
    DBTime = 134,
    DBTimeStamp = 135,
    VarChar = 200,
    LongVarChar = 201,
    VarWChar = 202,
    LongVarWChar = 203,
    VarBinary = 204,
    LongVarBinary = 205,
};
}

// Type code and DefinedSize of a field.
//
// From SQLite's declared column type (case-insensitive, sizes in parentheses read as DefinedSize):
//   integer, int, mediumint   3 (size 4)        bigint, int8             20 (8)
//   smallint, int2            2 (2)             tinyint                  16 (1)
//   unsigned big int          21 (8)            boolean, bool, bit       11 (2)
//   real, float4              4 (4)             float, double, float8    5 (8)
//   numeric(p,s), decimal     131 (19)          money, currency          6 (8)
//   date                      133 (6)           time                     134 (6)
//   datetime, timestamp       135 (16)
//   varchar(n)                200 (n; 255 without n)     nvarchar(n)     202 (n; 255)
//   char(n), character(n)     129 (n; 1)                 nchar(n)        130 (n; 1)
//   text, clob, memo          201 (2147483647)           ntext           203 (2147483647)
//   blob, binary, varbinary   205 / 128 / 204
//   anything else by SQLite's affinity rules: containing "int" 3, "char"/"clob"/"text" 201,
//   "real"/"floa"/"doub" 5, "blob" or nothing 205, otherwise 131.
// A result column without a declared type (an expression) takes its type from its first value: integer 20,
// real 5, text or null 202 (255), blob 205.
//
// From the ODBC SQL type reported by the driver:
//   SQL_CHAR 129, SQL_VARCHAR 200, SQL_LONGVARCHAR 201, SQL_WCHAR 130, SQL_WVARCHAR 202,
//   SQL_WLONGVARCHAR 203 (DefinedSize: the column size), SQL_DECIMAL and SQL_NUMERIC 131 (19),
//   SQL_SMALLINT 2 (18 unsigned), SQL_INTEGER 3 (19 unsigned), SQL_BIGINT 20 (21 unsigned),
//   SQL_TINYINT 16 (17 unsigned), SQL_REAL 4, SQL_FLOAT and SQL_DOUBLE 5, SQL_BIT 11,
//   SQL_TYPE_DATE 133, SQL_TYPE_TIME 134, SQL_TYPE_TIMESTAMP 135, SQL_BINARY 128, SQL_VARBINARY 204,
//   SQL_LONGVARBINARY 205, SQL_GUID 72, anything else 202.
struct FieldType
{
    int type = AdoType::VarWChar;
    qint64 definedSize = 255;
};

FieldType fieldTypeFromDeclaredType(const QString &declaredType);
FieldType fieldTypeFromOdbc(int sqlType, qint64 columnSize, bool isUnsigned);

// Field types by what the record set does with them.
bool isIntegerType(int type); // 2, 3, 11, 16 to 21
bool isNumberType(int type); // integers (booleans aside), 4, 5, 6, 14, 131
bool isDateType(int type); // 7, 133, 134, 135
bool isBinaryType(int type); // 128, 204, 205

} // namespace vq
