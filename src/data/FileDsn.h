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

} // namespace vq
