#pragma once

#include "data/Connection.h"
#include "data/Recordset.h"

#include <QTemporaryDir>

#include <sqlite3.h>

namespace vqfuzz {

// A small open record set for the criteria targets: numbers, text with non-ASCII letters and quotes,
// dates and nulls, made once per program.
inline vq::Recordset &sampleRecordset()
{
    static QTemporaryDir dir;
    static vq::Connection connection;
    static vq::Recordset rs;
    if (rs.State() == vq::Recordset::adStateOpen)
        return rs;
    const QString path = dir.filePath(QStringLiteral("fuzz.db"));
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
        "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, born DATE, [Order Date] DATETIME);"
        "INSERT INTO t VALUES (1, 'Ábel', 10.5, '2020-01-31', '2020-01-31 10:30:00');"
        "INSERT INTO t VALUES (2, 'o''Brien', -3, '1999-12-31', NULL);"
        "INSERT INTO t VALUES (3, NULL, NULL, NULL, '1899-12-30 00:00:00');"
        "INSERT INTO t VALUES (4, 'zoë', 1e300, '2024-02-29', '2024-02-29 23:59:59');"
        "INSERT INTO t VALUES (5, 'abc%', 0, '0100-01-01', NULL);"
        "INSERT INTO t VALUES (NULL, '', -0.0, '9999-12-31', '9999-12-31 00:00:00');",
        nullptr, nullptr, nullptr);
    sqlite3_close(db);
    connection.Open(QStringLiteral("Provider=SQLite;Data Source=%1").arg(path));
    rs.Open(QStringLiteral("SELECT * FROM t"), &connection, vq::Recordset::adOpenStatic);
    return rs;
}

} // namespace vqfuzz
