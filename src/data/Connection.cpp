#include "data/Connection.h"

#include "data/ConnectionString.h"
#include "data/Driver.h"
#include "data/FileDsn.h"
#include "platform/Error.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace vq {

namespace {

// The driver manager's wide-character entry point ignores FILEDSN, so the file's [ODBC] section is read
// here as the driver manager reads it: its keywords first, then those of the string itself, which take
// precedence.
QString expandFileDsn(const vq::ConnectionString &parsed)
{
    const QString name = parsed.value(QStringLiteral("FileDSN"));
    const QString path = resolveFileDsnPath(name, fileDsnFolder());
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Error(ProviderErrorNumber,
            QStringLiteral("[IM002] The file data source \"%1\" cannot be read: %2")
                .arg(path.isEmpty() ? name : path,
                    path.isEmpty() ? QStringLiteral("no file named") : file.errorString()));
    QList<QPair<QString, QString>> pairs = parseFileDsn(file.readAll());
    for (const auto &p : parsed.pairs()) {
        if (p.first.compare(QLatin1String("FileDSN"), Qt::CaseInsensitive) == 0 ||
            p.first.compare(QLatin1String("SaveFile"), Qt::CaseInsensitive) == 0)
            continue;
        pairs.erase(std::remove_if(pairs.begin(), pairs.end(),
                        [&](const auto &q) { return q.first.compare(p.first, Qt::CaseInsensitive) == 0; }),
            pairs.end());
        pairs.append(p);
    }
    if (pairs.isEmpty())
        throw Error(ProviderErrorNumber,
            QStringLiteral("[IM002] The file data source \"%1\" has no [ODBC] section.").arg(path));
    QString text;
    for (const auto &p : pairs)
        text += p.first + QLatin1Char('=') + vq::ConnectionString::quoteValue(p.second) + QLatin1Char(';');
    return text;
}

} // namespace

Connection::Connection(QObject *parent)
    : QObject(parent)
{ }

Connection::~Connection() = default;

QString Connection::ConnectionString() const
{
    return m_connectionString;
}

void Connection::setConnectionString(const QString &connectionString)
{
    m_connectionString = connectionString;
}

int Connection::State() const
{
    return m_driver ? adStateOpen : adStateClosed;
}

void Connection::Open(
    const QString &connectionString, const QString &userId, const QString &password, int options)
{
    Q_UNUSED(options);
    Close();
    if (!connectionString.isEmpty())
        m_connectionString = connectionString;
    const vq::ConnectionString parsed(m_connectionString);
    if (parsed.value(QStringLiteral("Provider")).compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        QString file = parsed.value(QStringLiteral("Data Source"));
        if (file.isEmpty())
            file = parsed.value(QStringLiteral("Database"));
        if (file.isEmpty())
            throw Error(ProviderErrorNumber, QStringLiteral("The connection string names no Data Source."));
        m_driver = openSqliteDriver(file);
        m_openedWith = file;
        m_openedSqlite = true;
        return;
    }
    QString odbc = m_connectionString;
    auto add = [&](const char *key, const QString &value) {
        if (value.isEmpty() || parsed.contains(QLatin1String(key)))
            return;
        if (!odbc.isEmpty() && !odbc.trimmed().endsWith(QLatin1Char(';')))
            odbc += QLatin1Char(';');
        odbc += QLatin1String(key) + QLatin1Char('=') + vq::ConnectionString::quoteValue(value) +
            QLatin1Char(';');
    };
    add("UID", userId);
    add("PWD", password);
    if (parsed.contains(QStringLiteral("FileDSN")))
        odbc = expandFileDsn(vq::ConnectionString(odbc));
    m_openedWith = withPostgresServerCursor(odbc, odbcDriverOf(odbc));
    m_openedSqlite = false;
    m_driver = openOdbcDriver(m_openedWith);
}

void Connection::Close()
{
    m_driver.reset();
}

qint64 Connection::Execute(const QString &commandText)
{
    if (!m_driver)
        throw Error(Error::ConnectionNotUsable);
    return m_driver->execute(commandText);
}

bool Connection::reopenAfterLostConnection(const Error &failure)
{
    static const QRegularExpression lost(QStringLiteral("\\[(08...|57P0[123])\\]"));
    if (!m_driver || m_openedSqlite || !lost.match(failure.description()).hasMatch())
        return false;
    m_driver.reset();
    m_driver = openOdbcDriver(m_openedWith);
    return true;
}

std::shared_ptr<Driver> Connection::driver() const
{
    return m_driver;
}

} // namespace vq
