#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace vq {

// ODBC file data sources (".dsn" files), read as unixODBC's driver manager reads them.

// The file that "FileDSN=name" means: an absolute path or a path with a folder stands as it is; a bare
// name is looked up in `folder` (the driver manager's file-data-source folder, see fileDsnFolder()).
// ".dsn" is added when the name does not end with it (in any case).
QString resolveFileDsnPath(const QString &name, const QString &folder);

// The folder in which the driver manager looks for file data sources, as it reports it (`odbcinst -j`):
// FILEDSNPATH of the [ODBC] section of its odbcinst.ini, else "ODBCDataSources" in its system folder
// (ODBCSYSINI, usually /etc).
QString fileDsnFolder();

// The keyword pairs of the [ODBC] section of a .dsn file, in file order. A value written in braces, as
// connection strings write them ("DRIVER={PostgreSQL Unicode}"), is unwrapped ("}}" inside stands for
// "}"); any other value is the rest of its line, trimmed, ";" included. Blank lines and lines starting
// with ";" or "#" are skipped.
QList<QPair<QString, QString>> parseFileDsn(const QByteArray &contents);

// The ODBC driver a connection string names (its DRIVER, or the driver of its DSN in the driver manager's
// odbc.ini), with the library registered for that name in odbcinst.ini: "PostgreSQL Unicode psqlodbcw.so".
// Empty when neither says.
QString odbcDriverOf(const QString &connectionString);

// psqlODBC reads a query's whole result into memory before the first row comes back; through a server
// cursor (UseDeclareFetch=1) it holds one batch of rows at a time, at no cost in speed (see bench_data).
// So a connection string for psqlODBC that does not say otherwise gets "UseDeclareFetch=1;Fetch=2048";
// others come back unchanged.
QString withPostgresServerCursor(const QString &connectionString, const QString &driver);

} // namespace vq
