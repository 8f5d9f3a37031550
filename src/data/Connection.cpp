#include "data/Connection.h"

#include "data/ConnectionString.h"
#include "data/Driver.h"
#include "platform/Error.h"

namespace vq {

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
    m_driver = openOdbcDriver(odbc);
}

void Connection::Close()
{
    m_driver.reset();
}

qint64 Connection::Execute(const QString &commandText)
{
    if (!m_driver)
        throw Error(3709,
            QStringLiteral("The connection cannot be used to perform this operation. It is either "
                           "closed or invalid in this context."));
    return m_driver->execute(commandText);
}

std::shared_ptr<Driver> Connection::driver() const
{
    return m_driver;
}

} // namespace vq
