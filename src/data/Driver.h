#pragma once

#include "data/ColumnStore.h"
#include "data/FieldType.h"

#include <QString>

#include <memory>
#include <vector>

namespace vq {

// The internal interface between the record set and a database library (sqlite3, unixODBC).

struct ColumnInfo
{
    QString name;
    FieldType type;
};

// A running query. Its store columns are given by storageKinds(); fetch() appends rows to a store reset
// with them (a driver may convert a store column's kind when a value does not fit it).
class DriverCursor
{
public:
    virtual ~DriverCursor() = default;
    virtual const std::vector<ColumnInfo> &columns() const = 0;
    // Appends up to maxRows rows and returns how many; 0 once the rows are exhausted. Failures throw
    // vq::Error; the rows appended before a failure stay in the store.
    virtual qsizetype fetch(ColumnStore &store, qsizetype maxRows) = 0;
    // Asks the database library to stop the statement (a fetch running on another thread then fails
    // soon). Callable from any thread while the cursor lives.
    virtual void cancel() = 0;
    // The rows the statement returns, where the library knows before they are fetched; else -1.
    virtual qsizetype expectedRows() const { return -1; }

    std::vector<ColumnStore::Kind> storageKinds() const;
};

// An open connection.
class Driver : public std::enable_shared_from_this<Driver>
{
public:
    virtual ~Driver() = default;
    // Runs a statement that returns rows.
    virtual std::unique_ptr<DriverCursor> query(const QString &sql) = 0;
    // Runs a statement for its effect; returns the rows affected (-1 when the driver does not say).
    virtual qint64 execute(const QString &sql) = 0;
};

// The store kind that holds values of a field type.
ColumnStore::Kind storageKindFor(int adoType);

// The error number of a failure reported by a database library, with the library's own text.
constexpr int ProviderErrorNumber = -2147467259; // 0x80004005

std::shared_ptr<Driver> openSqliteDriver(const QString &file);
std::shared_ptr<Driver> openOdbcDriver(const QString &connectionString);

} // namespace vq
