#pragma once

#include "data/ColumnStore.h"
#include "data/FieldType.h"
#include "platform/Error.h"

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

// A statement that returns rows: prepared by Driver::prepare, run by execute(), then fetched. Its store
// columns are given by storageKinds(); fetch() appends rows to a store reset with them (a driver may
// convert a store column's kind when a value does not fit it).
class DriverCursor
{
public:
    virtual ~DriverCursor() = default;
    // Runs the statement up to its first row (a long sort or a slow server query spends its time here).
    // Failures throw vq::Error, and so does a statement that cancel() stopped, before or while it ran.
    // Called once.
    virtual void execute() = 0;
    // The result's columns; empty until execute() has returned.
    virtual const std::vector<ColumnInfo> &columns() const = 0;
    // Appends up to maxRows rows and returns how many; 0 once the rows are exhausted. Failures throw
    // vq::Error; the rows appended before a failure stay in the store.
    virtual qsizetype fetch(ColumnStore &store, qsizetype maxRows) = 0;
    // Asks the database library to stop the statement: an execute() not yet begun fails at once, and one
    // running (or a fetch) on another thread fails soon where the library can be reached from here.
    // Callable from any thread, any number of times, while the cursor lives.
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
    // Prepares a statement that returns rows, without running it, so that it can be cancelled from its
    // start. A statement the database refuses throws vq::Error here or in execute(), as the library does.
    virtual std::unique_ptr<DriverCursor> prepare(const QString &sql) = 0;
    // Runs a statement for its effect; returns the rows affected (-1 when the driver does not say).
    virtual qint64 execute(const QString &sql) = 0;
};

// The store kind that holds values of a field type.
ColumnStore::Kind storageKindFor(int adoType);

// The error number of a failure reported by a database library, with the library's own text.
constexpr int ProviderErrorNumber = -2147467259; // 0x80004005

// What DriverCursor::execute throws for a statement cancelled before it began.
Error statementCancelled();

std::shared_ptr<Driver> openSqliteDriver(const QString &file);
std::shared_ptr<Driver> openOdbcDriver(const QString &connectionString);

} // namespace vq
