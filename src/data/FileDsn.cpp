#include "data/FileDsn.h"

#include "data/ConnectionString.h"

#include <QDir>
#include <QFileInfo>

#include <odbcinst.h>

// The installer library's own answer to where file data sources live; its header shares an include guard
// with odbcinst.h, so it is declared here.
extern "C" BOOL _odbcinst_FileINI(char *pszPath);

namespace vq {

QString resolveFileDsnPath(const QString &name, const QString &folder)
{
    QString path = name.trimmed();
    if (path.isEmpty())
        return path;
    if (!path.contains(QLatin1Char('/')))
        path = QDir(folder).filePath(path);
    if (!path.endsWith(QLatin1String(".dsn"), Qt::CaseInsensitive))
        path += QLatin1String(".dsn");
    return path;
}

QString fileDsnFolder()
{
    char path[4096] = {};
    _odbcinst_FileINI(path);
    return QString::fromLocal8Bit(path);
}

QList<QPair<QString, QString>> parseFileDsn(const QByteArray &contents)
{
    QList<QPair<QString, QString>> pairs;
    bool inOdbc = false;
    for (const QByteArray &raw : contents.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inOdbc = line.compare(QLatin1String("[ODBC]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inOdbc || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1).trimmed();
        if (value.startsWith(QLatin1Char('{')))
            value = ConnectionString(QStringLiteral("v=") + value).value(QStringLiteral("v"));
        pairs.append({key, value});
    }
    return pairs;
}

} // namespace vq
