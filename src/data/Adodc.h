#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace vq {

class Connection;
class Recordset;

// The data control: opens its own connection from ConnectionString and a client-side (static) record set
// over RecordSource. The record set object stays the same across Refresh, so views bound to it follow.
class Adodc : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(QString RecordSource READ RecordSource WRITE setRecordSource)

public:
    explicit Adodc(QObject *parent = nullptr);
    ~Adodc() override;

    QString ConnectionString() const;
    void setConnectionString(const QString &connectionString);
    QString RecordSource() const;
    void setRecordSource(const QString &recordSource);

    // Connects (again) and runs RecordSource; failures are vq::Error and leave the record set closed
    // (or, when the fetch itself failed, holding the rows fetched before the failure).
    Q_INVOKABLE void Refresh();
    vq::Recordset *Recordset() const;
    Q_INVOKABLE QObject *recordsetObject() const;

private:
    QString m_connectionString;
    QString m_recordSource;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<vq::Recordset> m_recordset;
};

} // namespace vq
