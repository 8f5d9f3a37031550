#pragma once

#include <QtGlobal>

#include <cstddef>

namespace vq {

// How an ODBC cursor fetches, chosen before the statement runs from what the driver says it can do
// (SQLGetInfo), never changed later: a statement is run once, so rows are neither repeated nor lost and
// side effects happen once.
enum class OdbcFetchMethod {
    // Blocks of bound rows; a value longer than its buffer is read with SQLGetData after SQLSetPos inside
    // the block (the driver has SQL_GD_BLOCK and SQL_GD_BOUND; psqlODBC).
    BlockGetData,
    // One row a fetch into the bound buffers; a value longer than its buffer is read with SQLGetData, the
    // row being the only one fetched (the driver can read bound columns but not inside a block). The SQLite
    // ODBC driver, which holds the whole result whatever the cursor, fetches one row as cheaply as a block
    // of them, and its values are then read from buffers that stay in the processor's cache.
    SingleRowBound,
    // One row a fetch, every value with SQLGetData: any driver can do this.
    RowByRowGetData,
};

// Chooses the method from SQL_GETDATA_EXTENSIONS.
OdbcFetchMethod chooseOdbcFetchMethod(quint32 getDataExtensions);

// The value SQL_ATTR_ROWS_FETCHED_PTR is set to before a fetch, to see whether the driver wrote it.
constexpr quint64 FetchedUnset = ~quint64(0);

// How many rows a block fetch delivered: the driver's count where it wrote one, else the rows its status
// array marks as fetched (statuses other than SQL_ROW_NOROW, from the first), else -1 (the driver said
// neither, and a block must not pass for empty).
qsizetype odbcBlockRowCount(quint64 fetched, const quint16 *status, size_t arraySize);

} // namespace vq
