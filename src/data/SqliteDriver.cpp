#include "data/Driver.h"

#include "platform/Error.h"

#include <sqlite3.h>

#include <atomic>
#include <cmath>

namespace vq {

namespace {

[[noreturn]] void fail(sqlite3 *db, const QString &context = QString())
{
    QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    if (!context.isEmpty())
        message = context + QStringLiteral(": ") + message;
    throw Error(ProviderErrorNumber, message);
}

class SqliteDriver;

class SqliteCursor : public DriverCursor
{
public:
    SqliteCursor(std::shared_ptr<Driver> owner, sqlite3 *db, sqlite3_stmt *stmt)
        : m_owner(std::move(owner))
        , m_db(db)
        , m_stmt(stmt)
    { }

    ~SqliteCursor() override { sqlite3_finalize(m_stmt); }

    void execute() override
    {
        const CancelWatch watching(this);
        if (m_cancelled)
            throw statementCancelled();
        step();
        describe();
    }

    const std::vector<ColumnInfo> &columns() const override { return m_columns; }

    void cancel() override { m_cancelled = true; }

    qsizetype fetch(ColumnStore &store, qsizetype maxRows) override
    {
        const CancelWatch watching(this);
        qsizetype fetched = 0;
        const int n = int(m_columns.size());
        store.reserveRows(size_t(maxRows));
        while (fetched < maxRows) {
            if (!m_pending) {
                if (m_done)
                    break;
                step();
                if (!m_pending)
                    break;
            }
            for (int i = 0; i < n; ++i)
                appendValue(store, i, sqlite3_column_value(m_stmt, i));
            m_pending = false;
            ++fetched;
        }
        return fetched;
    }

private:
    // Virtual machine steps between two looks at the cancel flag: a few microseconds.
    static constexpr int ProgressSteps = 1000;

    // While this cursor steps, SQLite looks at its cancel flag now and then and stops the step when it is
    // set. Not sqlite3_interrupt: that stops every statement of the connection, and keeps stopping new ones
    // until all of them have ended (another record set's stream, say); and it is forgotten when it comes
    // before a statement has started running, a moment that cannot be seen from outside.
    struct CancelWatch
    {
        explicit CancelWatch(SqliteCursor *cursor)
            : db(cursor->m_db)
        {
            sqlite3_progress_handler(db, ProgressSteps, &SqliteCursor::stopWhenCancelled, cursor);
        }
        ~CancelWatch() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
        Q_DISABLE_COPY_MOVE(CancelWatch)
        sqlite3 *db;
    };

    static int stopWhenCancelled(void *cursor)
    {
        return static_cast<SqliteCursor *>(cursor)->m_cancelled.load(std::memory_order_relaxed) ? 1 : 0;
    }

    void describe()
    {
        const int n = sqlite3_column_count(m_stmt);
        for (int i = 0; i < n; ++i) {
            ColumnInfo info;
            info.name = QString::fromUtf8(sqlite3_column_name(m_stmt, i));
            const char *declared = sqlite3_column_decltype(m_stmt, i);
            if (declared) {
                info.type = fieldTypeFromDeclaredType(QString::fromUtf8(declared));
            } else {
                // An expression: its first value says what it holds.
                switch (m_pending ? sqlite3_column_type(m_stmt, i) : SQLITE_NULL) {
                case SQLITE_INTEGER:
                    info.type = {AdoType::BigInt, 8};
                    break;
                case SQLITE_FLOAT:
                    info.type = {AdoType::Double, 8};
                    break;
                case SQLITE_BLOB:
                    info.type = {AdoType::LongVarBinary, 2147483647};
                    break;
                default:
                    info.type = {AdoType::VarWChar, 255};
                    break;
                }
            }
            m_columns.push_back(info);
        }
    }

    void step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            m_pending = true;
        } else if (rc == SQLITE_DONE) {
            m_pending = false;
            m_done = true;
        } else {
            m_pending = false;
            m_done = true;
            fail(m_db);
        }
    }

    static std::string_view text(sqlite3_value *value)
    {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return std::string_view(text ? text : "", size_t(sqlite3_value_bytes(value)));
    }

    static void appendValue(ColumnStore &store, int i, sqlite3_value *value)
    {
        // Any value goes into a text column as its text; only a null has none. Most columns are text, and
        // this spares a call a value.
        if (store.kind(i) == ColumnStore::Kind::Text) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
            if (text)
                store.appendText(i, std::string_view(text, size_t(sqlite3_value_bytes(value))));
            else if (sqlite3_value_type(value) == SQLITE_NULL)
                store.appendNull(i);
            else
                store.appendText(i, std::string_view()); // a value whose text SQLite could not make
            return;
        }
        // Dates and times, which SQLite keeps as text, are read as their text straight away too; a value that
        // is no date (a number, text of another form) turns the column into text, as below.
        if (store.kind(i) == ColumnStore::Kind::DateTime) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
            if (!text && sqlite3_value_type(value) == SQLITE_NULL) {
                store.appendNull(i);
                return;
            }
            const std::string_view s(text ? text : "", size_t(sqlite3_value_bytes(value)));
            qint64 stamp;
            if (ColumnStore::parseIsoStamp(s, &stamp)) {
                store.appendInteger(i, stamp);
                return;
            }
            store.convert(i, ColumnStore::Kind::Text);
            store.appendText(i, s);
            return;
        }
        const int type = sqlite3_value_type(value);
        if (type == SQLITE_NULL) {
            store.appendNull(i);
            return;
        }
        switch (store.kind(i)) {
        case ColumnStore::Kind::Integer:
            if (type == SQLITE_INTEGER) {
                store.appendInteger(i, sqlite3_value_int64(value));
                return;
            }
            if (type == SQLITE_FLOAT) {
                const double v = sqlite3_value_double(value);
                if (v == std::trunc(v) && std::fabs(v) < 9.2e18) {
                    store.appendInteger(i, qint64(v));
                    return;
                }
                store.convert(i, ColumnStore::Kind::Double);
                store.appendDouble(i, v);
                return;
            }
            break;
        case ColumnStore::Kind::Double:
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                store.appendDouble(i, sqlite3_value_double(value));
                return;
            }
            // Numeric text that SQLite kept as text (for example "12.50" in a decimal column).
            if (type == SQLITE_TEXT && store.appendNumberText(i, text(value)))
                return;
            break;
        case ColumnStore::Kind::Decimal:
            // Whole numbers exactly, whatever their size; a real as the double it is, by its shortest digits.
            if (type == SQLITE_INTEGER) {
                store.appendDecimal(i, AutomationDecimal::fromInteger(sqlite3_value_int64(value)));
                return;
            }
            if (type == SQLITE_FLOAT) {
                const double v = sqlite3_value_double(value);
                if (!store.appendDoubleAsDecimal(i, v)) {
                    store.convert(i, ColumnStore::Kind::Double);
                    store.appendDouble(i, v);
                }
                return;
            }
            if (type == SQLITE_TEXT && store.appendNumberText(i, text(value)))
                return;
            break;
        case ColumnStore::Kind::DateTime: // read above
            break;
        case ColumnStore::Kind::Bytes: {
            const void *blob = sqlite3_value_blob(value);
            store.appendText(
                i, std::string_view(static_cast<const char *>(blob), size_t(sqlite3_value_bytes(value))));
            return;
        }
        case ColumnStore::Kind::Text:
            store.appendText(i, text(value));
            return;
        }
        // A value of another kind than its column's declared type: SQLite allows it, so the column
        // becomes text rather than lose the value.
        store.convert(i, ColumnStore::Kind::Text);
        store.appendText(i, text(value));
    }

    std::shared_ptr<Driver> m_owner;
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    std::vector<ColumnInfo> m_columns;
    bool m_pending = false;
    bool m_done = false;
    std::atomic<bool> m_cancelled {false};
};

class SqliteDriver : public Driver
{
public:
    // Without the connection's mutex: a connection is used by one thread at a time (its record sets' and
    // its own); a Cancel from elsewhere only sets a cursor's flag. Taking the mutex around each of the half
    // a dozen calls a row makes costs a fifth of a fetch.
    explicit SqliteDriver(const QString &file)
    {
        const QByteArray path = file.toUtf8();
        const int rc = sqlite3_open_v2(
            path.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const QString message = QStringLiteral("%1: %2").arg(file, QString::fromUtf8(sqlite3_errstr(rc)));
            sqlite3_close(m_db);
            m_db = nullptr;
            throw Error(ProviderErrorNumber, message);
        }
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~SqliteDriver() override { sqlite3_close_v2(m_db); }

    std::unique_ptr<DriverCursor> prepare(const QString &sql) override
    {
        return std::make_unique<SqliteCursor>(shared_from_this(), m_db, prepareStatement(sql));
    }

    qint64 execute(const QString &sql) override
    {
        const QByteArray text = sql.toUtf8();
        char *error = nullptr;
        if (sqlite3_exec(m_db, text.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
            sqlite3_free(error);
            throw Error(ProviderErrorNumber, message);
        }
        return sqlite3_changes64(m_db);
    }

private:
    sqlite3_stmt *prepareStatement(const QString &sql)
    {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            fail(m_db);
        if (!stmt)
            throw Error(ProviderErrorNumber, QStringLiteral("The statement is empty."));
        return stmt;
    }

    sqlite3 *m_db = nullptr;
};

} // namespace

std::shared_ptr<Driver> openSqliteDriver(const QString &file)
{
    return std::make_shared<SqliteDriver>(file);
}

} // namespace vq
