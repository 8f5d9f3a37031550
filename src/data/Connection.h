#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace vq {

class Driver;
class Error;

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
    // Where a statement failed because the server dropped the connection (an ODBC SQLSTATE of class 08,
    // or 57P01-57P03 when the server shut down), opens the connection again as it was last opened and
    // returns true; a failed reopen throws its own error. Any other failure returns false. A statement
    // that failed this way never ran, so the caller may run it again on the new connection.
    bool reopenAfterLostConnection(const Error &failure);

private:
    QString m_connectionString;
    // What the driver was opened with: the ODBC string as sent, or the SQLite file.
    QString m_openedWith;
    bool m_openedSqlite = false;
    std::shared_ptr<Driver> m_driver;
};

} // namespace vq
