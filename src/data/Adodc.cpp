#include "data/Adodc.h"

#include "data/Connection.h"
#include "data/Recordset.h"

namespace vq {

Adodc::Adodc(QObject *parent)
    : QObject(parent)
    , m_connection(std::make_unique<Connection>())
    , m_recordset(std::make_unique<vq::Recordset>())
{ }

Adodc::~Adodc()
{
    // The record set goes first: it reads through the connection.
    m_recordset.reset();
}

QString Adodc::ConnectionString() const
{
    return m_connectionString;
}

void Adodc::setConnectionString(const QString &connectionString)
{
    m_connectionString = connectionString;
}

QString Adodc::RecordSource() const
{
    return m_recordSource;
}

void Adodc::setRecordSource(const QString &recordSource)
{
    m_recordSource = recordSource;
}

void Adodc::Refresh()
{
    m_recordset->Close();
    m_connection->Open(m_connectionString);
    m_recordset->Open(
        m_recordSource, m_connection.get(), vq::Recordset::adOpenStatic, vq::Recordset::adLockReadOnly);
}

Recordset *Adodc::Recordset() const
{
    return m_recordset.get();
}

QObject *Adodc::recordsetObject() const
{
    return m_recordset.get();
}

} // namespace vq
