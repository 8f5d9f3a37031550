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

namespace {

QString profileString(const QString &section, const char *key, const char *file)
{
    char value[1024] = {};
    const QByteArray name = section.toLocal8Bit();
    if (SQLGetPrivateProfileString(name.constData(), key, "", value, int(sizeof value), file) <= 0)
        return QString();
    return QString::fromLocal8Bit(value);
}

} // namespace

QString odbcDriverOf(const QString &connectionString)
{
    const ConnectionString parsed(connectionString);
    QString driver = parsed.value(QStringLiteral("Driver"));
    if (driver.isEmpty() && parsed.contains(QStringLiteral("DSN")))
        driver = profileString(parsed.value(QStringLiteral("DSN")), "Driver", "odbc.ini");
    if (driver.isEmpty() || driver.contains(QLatin1Char('/')))
        return driver;
    const QString library = profileString(driver, "Driver", "odbcinst.ini");
    return library.isEmpty() ? driver : driver + QLatin1Char(' ') + library;
}

QString withPostgresServerCursor(const QString &connectionString, const QString &driver)
{
    const bool postgres = driver.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive) ||
        driver.contains(QLatin1String("postgres"), Qt::CaseInsensitive);
    const ConnectionString parsed(connectionString);
    if (!postgres || parsed.contains(QStringLiteral("UseDeclareFetch")))
        return connectionString;
    QString text = connectionString;
    if (!text.trimmed().isEmpty() && !text.trimmed().endsWith(QLatin1Char(';')))
        text += QLatin1Char(';');
    text += QStringLiteral("UseDeclareFetch=1;");
    if (!parsed.contains(QStringLiteral("Fetch")))
        text += QStringLiteral("Fetch=2048;");
    return text;
}

} // namespace vq
