#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace vq {

class Driver;

// A database connection opened from a connection string ("key=value;" pairs, keys in any case, values
// optionally in braces):
// - "Provider=SQLite;Data Source=FILE" opens FILE (which must exist) with the embedded sqlite3 library;
// - every other string goes to the unixODBC driver manager unchanged (no prompt): "FileDSN=PATH",
//   "DSN=NAME", "Driver={…};…". A user ID and password given to Open are added as UID and PWD.
// Failures are vq::Error with the driver's own messages (for ODBC each diagnostic record as
// "[SQLSTATE] message", one per line).
class Connection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(int State READ State)

public:
    enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    QString ConnectionString() const;
    // Takes effect at the next Open; an open connection stays as it is.
    void setConnectionString(const QString &connectionString);
    int State() const;

    // Opens with the given string, or with ConnectionString when it is empty. An open connection is
    // closed first. Options are accepted and ignored (connections always open synchronously).
    Q_INVOKABLE void Open(const QString &connectionString = QString(), const QString &userId = QString(),
        const QString &password = QString(), int options = -1);
    Q_INVOKABLE void Close();
    // Runs a statement that returns no rows; returns the rows affected (-1 when the driver does not say).
    Q_INVOKABLE qint64 Execute(const QString &commandText);

    // The open driver connection; record sets share it. Null when closed.
    std::shared_ptr<Driver> driver() const;

private:
    QString m_connectionString;
    std::shared_ptr<Driver> m_driver;
};

} // namespace vq
