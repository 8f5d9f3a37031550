#include "data/Driver.h"
#include "data/OdbcFetch.h"

#include "data/TextFold.h"
#include "platform/AutomationDate.h"
#include "platform/Error.h"

#include <QStringList>

#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vq {

OdbcFetchMethod chooseOdbcFetchMethod(quint32 getDataExtensions)
{
    if (!(getDataExtensions & SQL_GD_BOUND))
        return OdbcFetchMethod::RowByRowGetData;
    return getDataExtensions & SQL_GD_BLOCK ? OdbcFetchMethod::BlockGetData : OdbcFetchMethod::SingleRowBound;
}

qsizetype odbcBlockRowCount(quint64 fetched, const quint16 *status, size_t arraySize)
{
    if (fetched != FetchedUnset)
        return qsizetype(std::min<quint64>(fetched, arraySize));
    size_t rows = 0;
    while (rows < arraySize && status[rows] != SQL_ROW_NOROW)
        ++rows;
    return rows > 0 ? qsizetype(rows) : -1;
}

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

// Text and binary columns are bound at their declared size up to this many characters; longer or
// unbounded ones (PostgreSQL's text) at LongBoundChars, a bound buffer that grows, up to MaxBoundChars,
// when values overflow it. A value longer than its buffer is read again on its own.
constexpr SQLULEN MaxBoundChars = 4000;
constexpr SQLULEN LongBoundChars = 254;
// Bound buffers of one block stay under this many bytes.
constexpr size_t BlockBytes = 4 << 20;
constexpr SQLULEN MaxBlockRows = 1024;

// The process's one ODBC environment; null when the driver manager cannot make one.
SQLHENV environment()
{
    static SQLHENV env = [] {
        SQLHENV e = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e)))
            return SQLHENV(SQL_NULL_HENV);
        if (!SQL_SUCCEEDED(
                SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
            SQLFreeHandle(SQL_HANDLE_ENV, e);
            return SQLHENV(SQL_NULL_HENV);
        }
        return e;
    }();
    return env;
}

QString fromW(const SQLWCHAR *text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), length);
}

// Every diagnostic record of a handle, "[SQLSTATE] message" one per line.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    QStringList lines;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048];
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, message, 2048, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        lines << QStringLiteral("[%1] %2").arg(
            fromW(state, 5), fromW(message, qMin<qsizetype>(length, 2047)));
    }
    return lines.join(QLatin1Char('\n'));
}

[[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE handle, const QString &what)
{
    QString message = diagnostics(type, handle);
    if (message.isEmpty())
        message = what;
    throw Error(ProviderErrorNumber, message);
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char *what)
{
    if (!SQL_SUCCEEDED(rc))
        fail(type, handle, QString::fromLatin1(what));
}

std::u16string wide(const QString &text)
{
    return text.toStdU16String();
}

// Decimals are read as text, which every driver writes with every digit ("-1234.50"). A text that does not
// fit the buffer has more digits than the type holds: with its point among the digits read, those decide
// the rounding; a whole number of more digits than that is beyond the type, and the column becomes doubles.
constexpr SQLLEN DecimalTextBytes = 64;

void appendDecimalText(ColumnStore &store, int c, const char *text, SQLLEN indicator)
{
    const SQLLEN room = DecimalTextBytes - 1;
    const bool cut = indicator == SQL_NO_TOTAL || indicator > room;
    const std::string_view t(text, size_t(cut ? room : indicator));
    if (cut && t.find('.') == std::string_view::npos) {
        std::string digits(t);
        if (indicator != SQL_NO_TOTAL)
            digits += 'e' + std::to_string(indicator - room); // the digits not read
        double v = std::strtod(digits.c_str(), nullptr);
        if (indicator == SQL_NO_TOTAL && v != 0)
            v = std::copysign(HUGE_VAL, v);
        store.convert(c, ColumnStore::Kind::Double);
        store.appendDouble(c, v);
        return;
    }
    if (!store.appendNumberText(c, t)) {
        store.convert(c, ColumnStore::Kind::Text);
        store.appendText(c, t);
    }
}

qint64 timestampStamp(const SQL_TIMESTAMP_STRUCT &t)
{
    // Days that every month has take the arithmetic; the rest are checked by QDate.
    const qint64 day = t.year >= 1 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 28
        ? ColumnStore::julianDay(t.year, t.month, t.day)
        : QDate(t.year, t.month, t.day).toJulianDay();
    return ColumnStore::stamp(
        day, ((t.hour * 60 + t.minute) * 60 + t.second) * qint64(1000) + t.fraction / 1000000);
}

qint64 timeStamp(const SQL_TIME_STRUCT &t)
{
    return ColumnStore::stamp(
        AutomationDate::EpochJulianDay, ((t.hour * 60 + t.minute) * 60 + t.second) * qint64(1000));
}

// Runs a statement; a statement that returns nothing (SQL_NO_DATA) has run too.
void executeDirect(SQLHSTMT stmt, const QString &sql)
{
    std::u16string text = wide(sql);
    const SQLRETURN rc =
        SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR *>(text.data()), SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        fail(SQL_HANDLE_STMT, stmt, QStringLiteral("The statement failed."));
}

class OdbcCursor : public DriverCursor
{
public:
    OdbcCursor(std::shared_ptr<Driver> owner, SQLHSTMT stmt, QString sql, OdbcFetchMethod method,
        bool cancelFromOtherThreads, bool utf8Text)
        : m_owner(std::move(owner))
        , m_stmt(stmt)
        , m_sql(std::move(sql))
        , m_method(method)
        , m_cancelFromOtherThreads(cancelFromOtherThreads)
        , m_utf8Text(utf8Text)
    { }

    ~OdbcCursor() override
    {
        SQLCloseCursor(m_stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    }

    void execute() override
    {
        // Marked running before the flag is read, and cancel() sets the flag before it reads the mark: a
        // Cancel either keeps the statement from starting or is sent to it.
        m_running = true;
        if (m_cancelled)
            throw statementCancelled();
        executeDirect(m_stmt, m_sql);
        describe();
        bind();
    }

    const std::vector<ColumnInfo> &columns() const override { return m_columns; }

    // SQLCancel is the one call ODBC allows on a statement that another thread is using, but not every
    // driver honours that (the SQLite driver frees the statement under the running fetch): it is sent only
    // where the driver is known to handle it, and only once execute() has begun; before that the flag
    // keeps the statement from starting at all. Asynchronous execution (SQL_ATTR_ASYNC_ENABLE), under
    // which the executing thread itself could cancel, is not offered by the SQLite driver either; there
    // the record set stops at the first row or between blocks. psqlODBC passes the cancel on to the
    // server, which ignores one that comes in the instant before the statement reaches it: the statement
    // then runs to its first row, and no further.
    void cancel() override
    {
        m_cancelled = true;
        if (m_cancelFromOtherThreads && m_running)
            SQLCancel(m_stmt);
    }

    qsizetype expectedRows() const override
    {
        // A driver that holds the whole result (psqlODBC without UseDeclareFetch) knows its size; others
        // say 0 or -1 for a query.
        SQLLEN rows = -1;
        return SQL_SUCCEEDED(SQLRowCount(m_stmt, &rows)) && rows > 0 ? qsizetype(rows) : -1;
    }

    qsizetype fetch(ColumnStore &store, qsizetype maxRows) override
    {
        qsizetype appended = 0;
        try {
            if (m_bound && m_arraySize == 1 && !m_done)
                appended = fetchSingleRows(store, maxRows);
            while (appended < maxRows && !m_done) {
                if (m_bound) {
                    if (m_blockPos >= m_blockRows && !fetchBlock())
                        break;
                    const qsizetype n = appendFromBlock(store, maxRows - appended);
                    appended += n;
                } else {
                    const SQLRETURN rc = SQLFetch(m_stmt);
                    if (rc == SQL_NO_DATA) {
                        m_done = true;
                        break;
                    }
                    if (!SQL_SUCCEEDED(rc)) {
                        m_done = true;
                        fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("Fetching failed."));
                    }
                    for (size_t c = 0; c < m_columns.size(); ++c)
                        appendByGetData(store, int(c));
                    ++appended;
                }
            }
        } catch (...) {
            // A row that failed part way is not kept: every column ends at the last whole row.
            store.truncateRows(store.rowCount());
            throw;
        }
        return appended;
    }

private:
    struct Binding
    {
        ColumnStore::Kind kind;
        SQLSMALLINT cType = SQL_C_WCHAR;
        SQLLEN width = 0; // bytes per row
        SQLLEN capacity = 0; // the longest value (in bytes) a row's buffer holds whole
        bool time = false;
        std::vector<char> buffer;
        std::vector<SQLLEN> indicators;
    };

    void describe()
    {
        SQLSMALLINT count = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(m_stmt, &count)))
            fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("The result columns cannot be read."));
        if (count == 0)
            throw Error(ProviderErrorNumber, QStringLiteral("The statement returns no rows."));
        for (SQLSMALLINT i = 1; i <= count; ++i) {
            SQLWCHAR name[512];
            SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            if (!SQL_SUCCEEDED(SQLDescribeColW(
                    m_stmt, SQLUSMALLINT(i), name, 512, &nameLength, &sqlType, &size, &digits, &nullable)))
                fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("A result column cannot be described."));
            SQLLEN isUnsigned = SQL_FALSE;
            if (!SQL_SUCCEEDED(SQLColAttributeW(
                    m_stmt, SQLUSMALLINT(i), SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)))
                isUnsigned = SQL_FALSE; // a driver that cannot say holds signed numbers

            ColumnInfo info;
            info.name = fromW(name, qMin<qsizetype>(nameLength, 511));
            info.type = fieldTypeFromOdbc(sqlType, qint64(size), isUnsigned == SQL_TRUE);
            m_columns.push_back(info);
            m_sizes.push_back(size);
        }
    }

    void bind()
    {
        const std::vector<ColumnStore::Kind> kinds = storageKinds();
        size_t rowBytes = 0;
        for (size_t c = 0; c < m_columns.size(); ++c) {
            Binding b;
            b.kind = kinds[c];
            const int type = m_columns[c].type.type;
            switch (b.kind) {
            case ColumnStore::Kind::Integer:
                b.cType = SQL_C_SBIGINT;
                b.width = sizeof(SQLBIGINT);
                break;
            case ColumnStore::Kind::Double:
                b.cType = SQL_C_DOUBLE;
                b.width = sizeof(double);
                break;
            case ColumnStore::Kind::Decimal:
                b.cType = SQL_C_CHAR;
                b.width = DecimalTextBytes;
                break;
            case ColumnStore::Kind::DateTime:
                b.time = type == AdoType::DBTime;
                b.cType = b.time ? SQL_C_TYPE_TIME : SQL_C_TYPE_TIMESTAMP;
                b.width = b.time ? sizeof(SQL_TIME_STRUCT) : sizeof(SQL_TIMESTAMP_STRUCT);
                break;
            case ColumnStore::Kind::Text:
            case ColumnStore::Kind::Bytes: {
                const SQLULEN size = m_sizes[c];
                const bool longData = type == AdoType::LongVarChar || type == AdoType::LongVarWChar ||
                    type == AdoType::LongVarBinary || size == 0 || size > MaxBoundChars;
                setTextWidth(b, longData ? LongBoundChars : size);
                break;
            }
            }
            if (b.kind != ColumnStore::Kind::Text && b.kind != ColumnStore::Kind::Bytes)
                b.capacity = b.width; // a decimal's text longer than its buffer is handled where it is read
            rowBytes += size_t(b.width) + sizeof(SQLLEN);
            m_bindings.push_back(std::move(b));
        }
        if (m_method == OdbcFetchMethod::RowByRowGetData)
            return;

        SQLULEN rows = m_method == OdbcFetchMethod::SingleRowBound
            ? 1
            : std::clamp<SQLULEN>(BlockBytes / std::max<size_t>(rowBytes, 1), 1, MaxBlockRows);
        check(SQLSetStmtAttr(
                  m_stmt, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
            SQL_HANDLE_STMT, m_stmt, "Column-wise binding is refused.");
        if (!SQL_SUCCEEDED(
                SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0)))
            rows = 1;
        SQLULEN actual = rows;
        if (SQL_SUCCEEDED(SQLGetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, &actual, 0, nullptr)) &&
            actual >= 1)
            rows = actual;
        m_arraySize = rows;
        m_status.assign(rows, SQL_ROW_NOROW);
        // Without a status array or a fetched count the rows of a block cannot be told; one row a fetch
        // needs neither.
        const bool haveStatus =
            SQL_SUCCEEDED(SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0));
        const bool haveCount =
            SQL_SUCCEEDED(SQLSetStmtAttr(m_stmt, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0));
        if (!haveStatus && !haveCount && rows > 1) {
            check(SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1), 0),
                SQL_HANDLE_STMT, m_stmt, "The row array size cannot be set.");
            m_arraySize = 1;
        }
        for (size_t c = 0; c < m_bindings.size(); ++c)
            bindColumn(int(c));
        m_bound = true;
    }

    // A character takes up to four bytes either way: two UTF-16 units outside the basic plane, four bytes
    // of UTF-8. Text buffers end in a terminator that the driver writes and no value uses.
    void setTextWidth(Binding &b, SQLULEN chars) const
    {
        if (b.kind == ColumnStore::Kind::Bytes) {
            b.cType = SQL_C_BINARY;
            b.width = b.capacity = SQLLEN(std::max<SQLULEN>(chars, 1));
            return;
        }
        b.cType = m_utf8Text ? SQL_C_CHAR : SQL_C_WCHAR;
        const SQLLEN terminator = m_utf8Text ? 1 : SQLLEN(sizeof(SQLWCHAR));
        b.capacity = SQLLEN(chars * 4);
        b.width = b.capacity + terminator;
    }

    void bindColumn(int c)
    {
        Binding &b = m_bindings[size_t(c)];
        b.buffer.resize(size_t(b.width) * m_arraySize);
        b.indicators.resize(m_arraySize);
        check(SQLBindCol(m_stmt, SQLUSMALLINT(c + 1), b.cType, b.buffer.data(), b.width, b.indicators.data()),
            SQL_HANDLE_STMT, m_stmt, "A result column cannot be bound.");
    }

    // A column whose values overflow its buffer gets a larger one from the next block on, so that a text
    // column longer than the driver said is not read again value by value.
    void growBinding(int c, SQLLEN needed)
    {
        Binding &b = m_bindings[size_t(c)];
        const SQLULEN perChar = b.kind == ColumnStore::Kind::Text ? 4 : 1;
        const SQLULEN chars = SQLULEN(b.capacity) / perChar;
        const SQLULEN want = (SQLULEN(needed) + perChar - 1) / perChar;
        if (chars >= MaxBoundChars || want <= chars)
            return;
        setTextWidth(b, std::min<SQLULEN>(MaxBoundChars, std::max(want + want / 2, chars * 2)));
        m_rebind = true;
    }

    // One row a fetch, its values taken straight from the bound buffers without a block's bookkeeping: the
    // driver's own work is the same either way, and ours is what remains per row.
    qsizetype fetchSingleRows(ColumnStore &store, qsizetype maxRows)
    {
        constexpr qsizetype ReserveRows = 1024;
        qsizetype appended = 0;
        while (appended < maxRows) {
            if (m_rebind) {
                for (size_t c = 0; c < m_bindings.size(); ++c)
                    bindColumn(int(c));
                m_rebind = false;
            }
            if (appended % ReserveRows == 0)
                store.reserveRows(size_t(std::min(maxRows - appended, ReserveRows)));
            const SQLRETURN rc = SQLFetchScroll(m_stmt, SQL_FETCH_NEXT, 0);
            if (rc == SQL_NO_DATA) {
                m_done = true;
                break;
            }
            if (!SQL_SUCCEEDED(rc) || m_status[0] == SQL_ROW_ERROR) {
                m_done = true;
                fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("Fetching failed."));
            }
            if (m_status[0] == SQL_ROW_DELETED)
                continue;
            for (size_t c = 0; c < m_bindings.size(); ++c)
                appendBound(store, int(c), 0);
            ++appended;
        }
        return appended;
    }

    bool fetchBlock()
    {
        if (m_rebind) {
            for (size_t c = 0; c < m_bindings.size(); ++c)
                bindColumn(int(c));
            m_rebind = false;
        }
        m_fetched = FetchedUnset;
        std::fill(m_status.begin(), m_status.end(), SQLUSMALLINT(SQL_ROW_NOROW));
        const SQLRETURN rc = SQLFetchScroll(m_stmt, SQL_FETCH_NEXT, 0);
        m_blockRows = 0;
        m_blockPos = 0;
        if (rc == SQL_NO_DATA) {
            m_done = true;
            return false;
        }
        if (!SQL_SUCCEEDED(rc)) {
            m_done = true;
            fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("Fetching failed."));
        }
        const qsizetype rows =
            m_arraySize == 1 ? 1 : odbcBlockRowCount(m_fetched, m_status.data(), m_arraySize);
        if (rows < 0) {
            m_done = true;
            throw Error(ProviderErrorNumber,
                QStringLiteral(
                    "The ODBC driver fetched a block of rows but says neither how many nor which."));
        }
        m_blockRows = SQLULEN(rows);
        if (m_blockRows == 0) {
            m_done = true;
            return false;
        }
        return true;
    }

    // Appends up to maxRows rows of the fetched block from m_blockPos on and returns how many. Plain rows
    // go column by column, each column in one tight loop; a row the driver flags, or one with a value
    // longer than its buffer, goes on its own.
    qsizetype appendFromBlock(ColumnStore &store, qsizetype maxRows)
    {
        const SQLULEN end = std::min<SQLULEN>(m_blockRows, m_blockPos + SQLULEN(maxRows));
        SQLULEN plainEnd = m_blockPos;
        while (plainEnd < end && isPlainRow(plainEnd))
            ++plainEnd;
        const SQLULEN from = m_blockPos;
        if (plainEnd > from) {
            store.reserveRows(size_t(plainEnd - from));
            for (size_t c = 0; c < m_bindings.size(); ++c)
                appendColumn(store, int(c), from, plainEnd);
            m_blockPos = plainEnd;
            return qsizetype(plainEnd - from);
        }
        // The row at m_blockPos needs care.
        const SQLULEN row = m_blockPos;
        const SQLUSMALLINT status = m_status[row];
        if (status == SQL_ROW_ERROR)
            fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("A row could not be fetched."));
        ++m_blockPos;
        if (status == SQL_ROW_DELETED)
            return 0;
        for (size_t c = 0; c < m_bindings.size(); ++c)
            appendBound(store, int(c), row);
        return 1;
    }

    bool isPlainRow(SQLULEN row) const
    {
        const SQLUSMALLINT status = m_status[row];
        // A driver that counts the rows but leaves the status array alone fetched them all the same.
        if (status != SQL_ROW_SUCCESS && status != SQL_ROW_SUCCESS_WITH_INFO && status != SQL_ROW_NOROW)
            return false;
        for (const Binding &b : m_bindings) {
            if (b.kind != ColumnStore::Kind::Text && b.kind != ColumnStore::Kind::Bytes)
                continue;
            const SQLLEN indicator = b.indicators[row];
            if (indicator == SQL_NO_TOTAL || indicator > b.capacity)
                return false;
        }
        return true;
    }

    // One tight loop over a fixed-width bound column: nulls, else the value copied out of the buffer.
    template<typename T, typename Append>
    static void appendFixed(
        ColumnStore &store, int c, const Binding &b, SQLULEN from, SQLULEN to, Append append)
    {
        const SQLLEN *indicators = b.indicators.data();
        const char *buffer = b.buffer.data();
        for (SQLULEN r = from; r < to; ++r) {
            if (indicators[r] == SQL_NULL_DATA) {
                store.appendNull(c);
                continue;
            }
            T v;
            std::memcpy(&v, buffer + r * sizeof v, sizeof v);
            append(v);
        }
    }

    void appendColumn(ColumnStore &store, int c, SQLULEN from, SQLULEN to)
    {
        const Binding &b = m_bindings[size_t(c)];
        const SQLLEN *indicators = b.indicators.data();
        const char *buffer = b.buffer.data();
        switch (b.kind) {
        case ColumnStore::Kind::Integer:
            appendFixed<SQLBIGINT>(store, c, b, from, to, [&](SQLBIGINT v) { store.appendInteger(c, v); });
            return;
        case ColumnStore::Kind::Double:
            appendFixed<double>(store, c, b, from, to, [&](double v) { store.appendDouble(c, v); });
            return;
        case ColumnStore::Kind::Decimal:
            for (SQLULEN r = from; r < to; ++r) {
                if (indicators[r] == SQL_NULL_DATA)
                    store.appendNull(c);
                else
                    appendDecimalText(store, c, buffer + size_t(b.width) * r, indicators[r]);
            }
            return;
        case ColumnStore::Kind::DateTime:
            if (b.time)
                appendFixed<SQL_TIME_STRUCT>(store, c, b, from, to,
                    [&](const SQL_TIME_STRUCT &t) { store.appendInteger(c, timeStamp(t)); });
            else
                appendFixed<SQL_TIMESTAMP_STRUCT>(store, c, b, from, to,
                    [&](const SQL_TIMESTAMP_STRUCT &t) { store.appendInteger(c, timestampStamp(t)); });
            return;
        case ColumnStore::Kind::Text:
            if (b.cType == SQL_C_CHAR)
                break; // UTF-8, stored as it is, as bytes are
            for (SQLULEN r = from; r < to; ++r) {
                const SQLLEN indicator = indicators[r];
                if (indicator == SQL_NULL_DATA) {
                    store.appendNull(c);
                    continue;
                }
                const size_t units = size_t(indicator) / sizeof(SQLWCHAR);
                char *out = store.textRoom(c, units * MaxUtf8BytesPerUtf16Unit);
                store.textWritten(c,
                    writeUtf16AsUtf8(
                        reinterpret_cast<const char16_t *>(buffer + size_t(b.width) * r), units, out));
                store.commitText(c);
            }
            return;
        case ColumnStore::Kind::Bytes:
            break;
        }
        for (SQLULEN r = from; r < to; ++r) {
            const SQLLEN indicator = indicators[r];
            if (indicator == SQL_NULL_DATA)
                store.appendNull(c);
            else
                store.appendText(c, std::string_view(buffer + size_t(b.width) * r, size_t(indicator)));
        }
    }

    void appendBound(ColumnStore &store, int c, SQLULEN row)
    {
        Binding &b = m_bindings[size_t(c)];
        const SQLLEN indicator = b.indicators[row];
        if (indicator == SQL_NULL_DATA) {
            store.appendNull(c);
            return;
        }
        const char *cell = b.buffer.data() + size_t(b.width) * row;
        switch (b.kind) {
        case ColumnStore::Kind::Integer: {
            SQLBIGINT v;
            std::memcpy(&v, cell, sizeof v);
            store.appendInteger(c, v);
            return;
        }
        case ColumnStore::Kind::Double: {
            double v;
            std::memcpy(&v, cell, sizeof v);
            store.appendDouble(c, v);
            return;
        }
        case ColumnStore::Kind::Decimal:
            appendDecimalText(store, c, cell, indicator);
            return;
        case ColumnStore::Kind::DateTime:
            if (b.time) {
                SQL_TIME_STRUCT t;
                std::memcpy(&t, cell, sizeof t);
                store.appendInteger(c, timeStamp(t));
            } else {
                SQL_TIMESTAMP_STRUCT t;
                std::memcpy(&t, cell, sizeof t);
                store.appendInteger(c, timestampStamp(t));
            }
            return;
        case ColumnStore::Kind::Text: {
            if (indicator == SQL_NO_TOTAL || indicator > b.capacity) {
                appendLongValue(store, c, row);
                return;
            }
            if (b.cType == SQL_C_CHAR) {
                store.appendText(c, std::string_view(cell, size_t(indicator)));
                return;
            }
            const size_t units = size_t(indicator) / sizeof(SQLWCHAR);
            char *out = store.textRoom(c, units * MaxUtf8BytesPerUtf16Unit);
            store.textWritten(c, writeUtf16AsUtf8(reinterpret_cast<const char16_t *>(cell), units, out));
            store.commitText(c);
            return;
        }
        case ColumnStore::Kind::Bytes:
            if (indicator == SQL_NO_TOTAL || indicator > b.capacity) {
                appendLongValue(store, c, row);
                return;
            }
            store.appendText(c, std::string_view(cell, size_t(indicator)));
            return;
        }
    }

    // A value longer than its buffer (or than the driver reported: SQLite does not hold text to its declared
    // length): read whole from its row with SQLGetData, the row made current within the block where the
    // driver can read inside a block; a driver that cannot fetches one row at a time.
    void appendLongValue(ColumnStore &store, int c, SQLULEN row)
    {
        growBinding(c, m_bindings[size_t(c)].indicators[row]);
        const bool alone = m_arraySize <= 1;
        if (!alone &&
            (m_method != OdbcFetchMethod::BlockGetData ||
                !SQL_SUCCEEDED(SQLSetPos(m_stmt, SQLSETPOSIROW(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE))))
            throw Error(ProviderErrorNumber,
                QStringLiteral(
                    "A value of field %1 is longer than the driver reported and cannot be read whole.")
                    .arg(m_columns[size_t(c)].name));
        appendByGetData(store, c);
    }

    void appendByGetData(ColumnStore &store, int c)
    {
        Binding &b = m_bindings[size_t(c)];
        const SQLUSMALLINT column = SQLUSMALLINT(c + 1);
        SQLLEN indicator = 0;
        auto get = [&](SQLSMALLINT cType, void *target, SQLLEN length) {
            const SQLRETURN rc = SQLGetData(m_stmt, column, cType, target, length, &indicator);
            if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
                fail(SQL_HANDLE_STMT, m_stmt, QStringLiteral("A value cannot be read."));
            return rc;
        };
        switch (b.kind) {
        case ColumnStore::Kind::Integer: {
            SQLBIGINT v = 0;
            get(SQL_C_SBIGINT, &v, sizeof v);
            indicator == SQL_NULL_DATA ? store.appendNull(c) : store.appendInteger(c, v);
            return;
        }
        case ColumnStore::Kind::Double: {
            double v = 0;
            get(SQL_C_DOUBLE, &v, sizeof v);
            indicator == SQL_NULL_DATA ? store.appendNull(c) : store.appendDouble(c, v);
            return;
        }
        case ColumnStore::Kind::Decimal: {
            char text[DecimalTextBytes] = {};
            get(SQL_C_CHAR, text, sizeof text);
            indicator == SQL_NULL_DATA ? store.appendNull(c) : appendDecimalText(store, c, text, indicator);
            return;
        }
        case ColumnStore::Kind::DateTime:
            if (b.time) {
                SQL_TIME_STRUCT t {};
                get(SQL_C_TYPE_TIME, &t, sizeof t);
                indicator == SQL_NULL_DATA ? store.appendNull(c) : store.appendInteger(c, timeStamp(t));
            } else {
                SQL_TIMESTAMP_STRUCT t {};
                get(SQL_C_TYPE_TIMESTAMP, &t, sizeof t);
                indicator == SQL_NULL_DATA ? store.appendNull(c) : store.appendInteger(c, timestampStamp(t));
            }
            return;
        case ColumnStore::Kind::Text:
        case ColumnStore::Kind::Bytes: {
            // UTF-8 comes in pieces as bytes do, each piece but the last ending in a terminator. A UTF-16
            // piece may end inside a character: its high surrogate waits for the next piece.
            const bool text = b.cType == SQL_C_WCHAR;
            const SQLLEN terminator = text ? SQLLEN(sizeof(SQLWCHAR)) : b.cType == SQL_C_CHAR ? 1 : 0;
            alignas(char16_t) char chunk[8192];
            SQLLEN carried = 0;
            for (;;) {
                const SQLRETURN rc = get(b.cType, chunk + carried, SQLLEN(sizeof chunk) - carried);
                if (rc == SQL_NO_DATA)
                    break;
                if (indicator == SQL_NULL_DATA) {
                    store.appendNull(c); // drops any piece written
                    return;
                }
                const SQLLEN room = SQLLEN(sizeof chunk) - carried - terminator;
                const SQLLEN got = (indicator == SQL_NO_TOTAL || indicator > room) ? room : indicator;
                if (text) {
                    size_t units = size_t(carried + got) / sizeof(SQLWCHAR);
                    const auto *utf16 = reinterpret_cast<const char16_t *>(chunk);
                    carried = 0;
                    if (rc != SQL_SUCCESS && units > 1 && utf16[units - 1] >= 0xD800 &&
                        utf16[units - 1] < 0xDC00) {
                        --units;
                        carried = SQLLEN(sizeof(SQLWCHAR));
                    }
                    char *out = store.textRoom(c, units * MaxUtf8BytesPerUtf16Unit);
                    store.textWritten(c, writeUtf16AsUtf8(utf16, units, out));
                    if (carried)
                        std::memcpy(chunk, chunk + units * sizeof(SQLWCHAR), sizeof(SQLWCHAR));
                } else {
                    char *out = store.textRoom(c, size_t(got));
                    std::memcpy(out, chunk, size_t(got));
                    store.textWritten(c, out + got);
                }
                if (rc == SQL_SUCCESS)
                    break;
            }
            store.commitText(c);
            return;
        }
        }
    }

    std::shared_ptr<Driver> m_owner;
    SQLHSTMT m_stmt;
    QString m_sql;
    std::atomic<bool> m_cancelled {false};
    std::atomic<bool> m_running {false};
    std::vector<ColumnInfo> m_columns;
    std::vector<SQLULEN> m_sizes;
    std::vector<Binding> m_bindings;
    bool m_bound = false;
    bool m_done = false;
    OdbcFetchMethod m_method;
    bool m_cancelFromOtherThreads;
    bool m_utf8Text;
    SQLULEN m_arraySize = 1;
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
    SQLULEN m_blockRows = 0;
    SQLULEN m_blockPos = 0;
    bool m_rebind = false;
};

class OdbcDriver : public Driver
{
public:
    explicit OdbcDriver(const QString &connectionString)
    {
        if (!environment() || !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &m_dbc)))
            throw Error(
                ProviderErrorNumber, QStringLiteral("The ODBC driver manager cannot make a connection."));
        // A driver without login time-outs still connects; the attribute is a wish.
        SQLSetConnectAttr(m_dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
        std::u16string text = wide(connectionString);
        SQLWCHAR out[1024];
        SQLSMALLINT outLength = 0;
        const SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, reinterpret_cast<SQLWCHAR *>(text.data()),
            SQLSMALLINT(text.size()), out, 1024, &outLength, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            QString message = diagnostics(SQL_HANDLE_DBC, m_dbc);
            SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
            m_dbc = SQL_NULL_HDBC;
            throw Error(
                ProviderErrorNumber, message.isEmpty() ? QStringLiteral("The connection failed.") : message);
        }
        // What the driver cannot tell counts as what it cannot do.
        SQLUINTEGER extensions = 0;
        if (!SQL_SUCCEEDED(
                SQLGetInfo(m_dbc, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr)))
            extensions = 0;
        m_method = chooseOdbcFetchMethod(extensions);
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameBytes = 0;
        if (SQL_SUCCEEDED(SQLGetInfoW(m_dbc, SQL_DRIVER_NAME, name, sizeof name, &nameBytes))) {
            const QString driver = fromW(name, qMin<qsizetype>(nameBytes / 2, 255));
            m_cancelFromOtherThreads = driver.startsWith(QLatin1String("psqlodbc"), Qt::CaseInsensitive);
            // SQLite keeps text as UTF-8 and its driver hands it out as SQL_C_CHAR unchanged, which is what
            // the column store holds: read so, text is neither widened by the driver nor narrowed here.
            m_utf8Text = driver.startsWith(QLatin1String("sqlite3odbc"), Qt::CaseInsensitive);
        }
    }

    ~OdbcDriver() override
    {
        if (m_dbc) {
            SQLDisconnect(m_dbc);
            SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        }
    }

    std::unique_ptr<DriverCursor> prepare(const QString &sql) override
    {
        return std::make_unique<OdbcCursor>(
            shared_from_this(), newStatement(), sql, m_method, m_cancelFromOtherThreads, m_utf8Text);
    }

    qint64 execute(const QString &sql) override
    {
        SQLHSTMT stmt = run(sql);
        SQLLEN count = -1;
        if (!SQL_SUCCEEDED(SQLRowCount(stmt, &count)))
            count = -1;
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return count;
    }

private:
    SQLHSTMT newStatement()
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt)))
            fail(SQL_HANDLE_DBC, m_dbc, QStringLiteral("A statement cannot be made."));
        return stmt;
    }

    SQLHSTMT run(const QString &sql)
    {
        SQLHSTMT stmt = newStatement();
        try {
            executeDirect(stmt, sql);
        } catch (...) {
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            throw;
        }
        return stmt;
    }

    SQLHDBC m_dbc = SQL_NULL_HDBC;
    OdbcFetchMethod m_method = OdbcFetchMethod::RowByRowGetData;
    bool m_cancelFromOtherThreads = false;
    bool m_utf8Text = false;
};

} // namespace

std::shared_ptr<Driver> openOdbcDriver(const QString &connectionString)
{
    return std::make_shared<OdbcDriver>(connectionString);
}

} // namespace vq
