#include "data/Recordset.h"

#include "data/Collation.h"
#include "data/ColumnStore.h"
#include "data/Connection.h"
#include "data/Criteria.h"
#include "data/Driver.h"
#include "data/Fields.h"
#include "data/PrefixKeys.h"
#include "data/SortOrder.h"
#include "data/TextFold.h"
#include "data/TextSort.h"
#include "platform/AutomationDate.h"
#include "platform/AutomationDecimal.h"
#include "platform/DateText.h"
#include "platform/Error.h"
#include "platform/VariantText.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>

namespace vq {

namespace {

using Kind = ColumnStore::Kind;

constexpr qsizetype StreamBlock = 256;
constexpr qsizetype FetchBlock = 4096;

Error notSupported()
{
    return Error(Error::RecordsetOperationNotSupported);
}

Error notOpen()
{
    return Error(Error::ObjectClosed);
}

Error noConnection()
{
    return Error(Error::ConnectionNotUsable);
}

// A bare table name (word characters and dots, or one bracketed or quoted name) means all its rows.
QString statementFor(const QString &source)
{
    static const QRegularExpression bare(
        QStringLiteral("^\\s*([A-Za-z_][\\w.$]*|\\[[^\\]]+\\]|\"[^\"]+\")\\s*$"));
    const QRegularExpressionMatch m = bare.match(source);
    if (!m.hasMatch())
        return source;
    QString name = m.captured(1);
    if (name.startsWith(QLatin1Char('[')))
        name = QLatin1Char('"') + name.mid(1, name.size() - 2) + QLatin1Char('"');
    return QStringLiteral("SELECT * FROM ") + name;
}

// Numbers in one total order everywhere (sort, filter, find): NaN is one value, above every number,
// as PostgreSQL orders it; -0 and +0 are one value.
quint64 orderedDoubleBits(double d)
{
    if (d == 0)
        d = 0.0;
    if (std::isnan(d))
        d = std::numeric_limits<double>::quiet_NaN();
    const quint64 bits = std::bit_cast<quint64>(d);
    return (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
}

template<typename T>
int sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNumbers(double a, double b)
{
    return sign(orderedDoubleBits(a), orderedDoubleBits(b));
}

} // namespace

// A criterion bound to a column, ready to test rows.
struct Matcher
{
    enum Mode {
        NullTest,
        TextCompare,
        TextPrefix,
        TextContains,
        IntegerCompare,
        DoubleCompare,
        DecimalCompare,
        StampCompare,
        ViaText
    };

    const ColumnStore *store = nullptr;
    const Collation *collation = nullptr;
    int column = 0;
    Mode mode = TextCompare;
    Criterion::Operator op = Criterion::Equal;
    Criterion::LikeMode likeMode = Criterion::Whole;
    bool wantNull = false;
    std::string text; // the operand of text comparisons, UTF-8
    std::string folded; // its case-folded form, for containment
    qint64 integer = 0;
    double number = 0;
    ColumnStore::DecimalOperand decimal; // DecimalCompare
    // ViaText: each row's distinct-text id and whether each distinct text matches.
    const quint32 *textIds = nullptr;
    std::vector<char> idMatches;

    bool opHolds(int c) const
    {
        switch (op) {
        case Criterion::Equal:
        case Criterion::Like:
            return c == 0;
        case Criterion::NotEqual:
            return c != 0;
        case Criterion::Less:
            return c < 0;
        case Criterion::Greater:
            return c > 0;
        case Criterion::LessEqual:
            return c <= 0;
        case Criterion::GreaterEqual:
            return c >= 0;
        }
        return false;
    }

    bool matches(qsizetype row) const
    {
        if (store->isNull(column, row))
            return mode == NullTest && wantNull;
        switch (mode) {
        case NullTest:
            return !wantNull;
        case TextCompare:
            return opHolds(collation->compare(store->textAt(column, row), text));
        case TextPrefix:
            return collation->comparePrefix(store->textAt(column, row), text) == 0;
        case TextContains:
            return containsFolded(store->textAt(column, row), folded);
        case IntegerCompare:
            return opHolds(sign(store->integerAt(column, row), integer));
        case DoubleCompare:
            return opHolds(compareNumbers(store->numberAt(column, row), number));
        case DecimalCompare:
            return opHolds(compareDecimal(row));
        case StampCompare:
            return opHolds(sign(store->integerAt(column, row), integer));
        case ViaText:
            return idMatches[textIds[row]] != 0;
        }
        return false;
    }

    int compareDecimal(qsizetype row) const { return store->compareDecimal(column, row, decimal); }

    // Whether a value's display text meets a LIKE criterion (ViaText).
    bool textMatches(std::string_view t) const
    {
        switch (likeMode) {
        case Criterion::Prefix:
            return collation->comparePrefix(t, text) == 0;
        case Criterion::Contains:
            return containsFolded(t, folded);
        case Criterion::Whole:
            return collation->compare(t, text) == 0;
        }
        return false;
    }

    // Whether the rows meeting this criterion are one run in an order sorted by the column.
    bool contiguousInSortOrder() const
    {
        if (mode == TextPrefix)
            return true;
        return (op == Criterion::Equal || op == Criterion::Like) &&
            (mode == TextCompare || mode == IntegerCompare || mode == DoubleCompare ||
                mode == DecimalCompare || mode == StampCompare);
    }

    // The row's value against the operand in ascending sort order (nulls first); zero inside the run.
    int orderAgainst(qsizetype row) const
    {
        if (store->isNull(column, row))
            return -1;
        switch (mode) {
        case TextCompare:
            return collation->compare(store->textAt(column, row), text);
        case TextPrefix:
            return collation->comparePrefix(store->textAt(column, row), text);
        case IntegerCompare:
        case StampCompare:
            return sign(store->integerAt(column, row), integer);
        case DoubleCompare:
            return compareNumbers(store->numberAt(column, row), number);
        case DecimalCompare:
            return compareDecimal(row);
        default:
            return 0;
        }
    }
};

struct Recordset::Private
{
    Recordset *q;
    QString source;
    QPointer<Connection> connection;
    std::shared_ptr<Driver> driver;
    int cursorType = adOpenForwardOnly;
    bool open = false;

    std::vector<ColumnInfo> columns;
    ColumnStore store;
    vq::Fields fields;

    // Forward-only streaming.
    std::unique_ptr<DriverCursor> stream;
    qsizetype blockStart = 0;

    // Static cursor: sort permutation of all rows (empty: fetch order), filter bits (empty: no filter),
    // and the rows shown, in order. Where every row shows in fetch order (no sort, no filter: the state
    // after every Open) the view is no list but identityRows, the rows 0..identityRows-1 at their own
    // positions: a list would cost four bytes a row and their writing.
    std::vector<SortKey> sortKeys;
    std::vector<int> sortColumns;
    QString sortText;
    QString filterText;
    std::vector<quint32> order;
    std::vector<quint64> passes;
    std::vector<quint32> view;
    qsizetype identityRows = -1;
    // Without a filter the view is the sort order itself, moved into it rather than copied (four bytes a
    // row); rebuildView takes it back first.
    bool viewIsOrder = false;

    void dropOrder()
    {
        order.clear();
        if (viewIsOrder) {
            view.clear();
            viewIsOrder = false;
        }
    }

    qsizetype pos = -1;

    // Fetch limit, cancel and progress.
    qsizetype maxRecords = 0;
    std::atomic<bool> cancelRequested {false};
    bool cancelled = false;
    bool fetching = false;
    // Cancel may come from another thread: what it looks at is guarded by the mutex.
    std::mutex cursorMutex;
    bool cancellable = false; // a fetch is running, so that Cancel has something to stop
    DriverCursor *activeCursor = nullptr; // the statement running now
    static constexpr qint64 ProgressIntervalMs = 50;

    explicit Private(Recordset *recordset)
        : q(recordset)
    { }

    bool forwardOnly() const { return cursorType == adOpenForwardOnly; }
    qsizetype size() const
    {
        if (forwardOnly())
            return store.rowCount();
        return identityRows >= 0 ? identityRows : qsizetype(view.size());
    }
    qsizetype rowAt(qsizetype position) const
    {
        return forwardOnly() || identityRows >= 0 ? position : qsizetype(view[size_t(position)]);
    }
    // The position of a row in the view; -1 where it is not shown.
    qsizetype positionOfRow(qsizetype row) const
    {
        if (identityRows >= 0)
            return row >= 0 && row < identityRows ? row : -1;
        const auto it = std::find(view.begin(), view.end(), quint32(row));
        return row < 0 || it == view.end() ? -1 : it - view.begin();
    }

    void requireOpen() const
    {
        if (!open)
            throw notOpen();
    }

    // A FetchProgress handler may call Cancel but not start, end or rerun the fetch it is inside.
    void refuseWhileFetching() const
    {
        if (fetching)
            throw Error(Error::RecordsetOperationNotSupported,
                QStringLiteral("The record set is fetching; only Cancel is allowed now."));
    }

    void setPos(qsizetype p)
    {
        pos = p;
        Q_EMIT q->currentRowChanged();
    }

    void makeFields()
    {
        fields.m_fields.clear();
        for (size_t i = 0; i < columns.size(); ++i) {
            fields.m_fields.push_back(std::make_unique<Field>(
                q, int(i), columns[i].name, columns[i].type.type, columns[i].type.definedSize));
        }
    }

    int columnOf(const QString &name) const
    {
        const int index = fields.indexOf(name.trimmed());
        if (index < 0)
            throw Error(Error::BadRecordsetArguments);
        return index;
    }

    // Sort fields are bound by name: requeried rows may have other columns, and a sort field that is gone
    // ends the sort.
    void bindSortColumns()
    {
        sortColumns.clear();
        for (const SortKey &k : sortKeys) {
            const int column = fields.indexOf(k.field.trimmed());
            if (column < 0) {
                sortKeys.clear();
                sortColumns.clear();
                sortText.clear();
                return;
            }
            sortColumns.push_back(column);
        }
    }

    // Runs the source and fetches (all rows, or the first block when streaming).
    // The rows the fetch may still deliver under MaxRecords.
    qsizetype allowance(qsizetype fetchedSoFar) const
    {
        return maxRecords > 0 ? std::max<qsizetype>(0, maxRecords - fetchedSoFar)
                              : std::numeric_limits<qsizetype>::max();
    }

    void setActiveCursor(DriverCursor *cursor)
    {
        const std::lock_guard<std::mutex> lock(cursorMutex);
        activeCursor = cursor;
    }

    // Cancel acts on a fetch between these two calls only; at any other time it does nothing.
    void beginCancellable()
    {
        const std::lock_guard<std::mutex> lock(cursorMutex);
        cancelRequested = false;
        cancellable = true;
    }

    void endCancellable()
    {
        const std::lock_guard<std::mutex> lock(cursorMutex);
        cancellable = false;
        activeCursor = nullptr;
    }

    // Prepares the statement into `cursor`, where Cancel can reach it from now on, and runs it up to its
    // first row. Returns false when a Cancel stopped it before that.
    bool startStatement(std::unique_ptr<DriverCursor> &cursor)
    {
        setActiveCursor(nullptr);
        cursor.reset();
        cursor = driver->prepare(statementFor(source));
        setActiveCursor(cursor.get());
        // A Cancel that came before the cursor was there to be told.
        if (cancelRequested)
            return false;
        try {
            cursor->execute();
        } catch (const Error &) {
            // The statement stopped by Cancel fails in the driver; that is the cancel, not an error.
            if (cancelRequested)
                return false;
            throw;
        }
        return true;
    }

    // Drops the rows and all that was made from them: fields, sort order, filter bits and the search
    // caches, which hold bytes a row. The sort and filter texts stay.
    void dropRows()
    {
        stream.reset();
        columns.clear();
        store.reset({});
        makeFields();
        sortColumns.clear();
        dropOrder();
        passes.clear();
        prefixWords.clear();
        distinctTexts.clear();
    }

    // After a Cancel before the first row: open, without fields or rows, since the statement never said
    // what it returns. Sort and Filter stay for the next Requery; there is nothing to apply them to now.
    void openEmptyAfterCancel()
    {
        dropRows();
        rebuildView();
        open = true;
        blockStart = 0;
        pos = 0;
        cancelled = true;
    }

    // Runs the source and fetches (all rows, or the first block when streaming). A Cancel ends the fetch
    // without an error: the rows so far stay and `cancelled` tells. A Requery (`again`) on a connection
    // that the server dropped opens it anew; an Open reports the lost connection as it is.
    void run(bool again = false)
    {
        if (!connection || !connection->driver())
            throw noConnection();
        driver = connection->driver();
        fetching = true;
        cancelled = false;
        beginCancellable();
        std::unique_ptr<DriverCursor> cursor;
        // Declared after the cursor so that it runs first: Cancel must not reach a cursor being destroyed.
        const auto done = qScopeGuard([&] {
            endCancellable();
            fetching = false;
        });
        bool started = false;
        try {
            started = startStatement(cursor);
        } catch (const Error &e) {
            // A server that went away and came back: the statement never ran, so it runs once more on a
            // fresh connection.
            if (!again || !connection->reopenAfterLostConnection(e))
                throw;
            driver = connection->driver();
            started = startStatement(cursor);
        }
        if (!started) {
            openEmptyAfterCancel();
            return;
        }
        columns = cursor->columns();
        store.reset(cursor->storageKinds());
        makeFields();
        bindSortColumns();
        open = true;
        blockStart = 0;
        if (forwardOnly()) {
            stream = std::move(cursor);
            try {
                if (!cancelRequested)
                    fetchStreamBlock();
            } catch (const Error &) {
                if (!cancelRequested)
                    throw;
            }
            if (cancelRequested) {
                setActiveCursor(nullptr);
                stream.reset();
                cancelled = true;
            }
            pos = 0;
            return;
        }
        const qsizetype expected = cursor->expectedRows();
        const qsizetype maxProgress =
            maxRecords > 0 && (expected < 0 || expected > maxRecords) ? maxRecords : expected;
        // After the first block, so that a caller learns early that rows are coming, then at intervals.
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        bool first = true;
        try {
            while (!cancelRequested) {
                const qsizetype want = std::min(FetchBlock, allowance(store.rowCount()));
                if (want <= 0 || cursor->fetch(store, want) == 0)
                    break;
                if (first || sinceProgress.elapsed() >= ProgressIntervalMs) {
                    first = false;
                    sinceProgress.restart();
                    Q_EMIT q->FetchProgress(store.rowCount(), maxProgress);
                }
            }
        } catch (const Error &) {
            // A statement stopped by Cancel fails in the driver; that is the cancel, not an error.
            if (!cancelRequested) {
                store.squeeze();
                rebuildAll();
                throw;
            }
        }
        cancelled = cancelRequested;
        store.squeeze();
        rebuildAll();
    }

    void fetchStreamBlock()
    {
        const qsizetype want = std::min(StreamBlock, allowance(blockStart));
        if (want > 0)
            stream->fetch(store, want);
    }

    void rebuildAll()
    {
        prefixWords.clear();
        distinctTexts.clear();
        sortRows();
        passes.clear();
        if (!filterText.isEmpty()) {
            try {
                passes = evaluate(parseCriteria(filterText));
            } catch (const Error &) {
                filterText.clear();
            }
        }
        rebuildView();
        pos = 0;
    }

    // Forward-only: the next block replaces the current one.
    bool nextBlock()
    {
        if (!stream)
            return false;
        blockStart += store.rowCount();
        store.clearRows();
        {
            beginCancellable();
            setActiveCursor(stream.get());
            const auto done = qScopeGuard([&] { endCancellable(); });
            try {
                fetchStreamBlock();
            } catch (const Error &) {
                if (!cancelRequested)
                    throw;
            }
        }
        if (cancelRequested || store.rowCount() == 0) {
            // The statement is released at once; nothing of it stays behind.
            cancelled = cancelRequested;
            stream.reset();
            return false;
        }
        return true;
    }

    // The collation of the sort running now (looked up once per sort, not per comparison).
    const Collation *sortCollation = nullptr;

    int compareCells(int column, qsizetype a, qsizetype b) const
    {
        const bool na = store.isNull(column, a);
        const bool nb = store.isNull(column, b);
        if (na || nb)
            return na == nb ? 0 : (na ? -1 : 1);
        switch (store.kind(column)) {
        case Kind::Integer:
        case Kind::DateTime:
            return sign(store.integerAt(column, a), store.integerAt(column, b));
        case Kind::Double:
            return compareNumbers(store.doubleAt(column, a), store.doubleAt(column, b));
        case Kind::Decimal:
            return store.compareDecimals(column, a, b);
        case Kind::Text:
            return sortCollation->compare(store.textAt(column, a), store.textAt(column, b));
        case Kind::Bytes: {
            const int c = store.textAt(column, a).compare(store.textAt(column, b));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        }
        return 0;
    }

    quint64 sortKey(int column, qsizetype row) const
    {
        if (store.isNull(column, row))
            return 0;
        switch (store.kind(column)) {
        case Kind::Integer:
        case Kind::DateTime:
            return quint64(store.integerAt(column, row)) ^ (quint64(1) << 63);
        case Kind::Double:
            return orderedDoubleBits(store.doubleAt(column, row));
        case Kind::Decimal:
            return store.decimalAt(column, row).orderKey();
        case Kind::Text: // keyed in sortRows
            return 0;
        case Kind::Bytes: {
            const std::string_view t = store.textAt(column, row);
            quint64 key = 0;
            for (size_t i = 0; i < 8; ++i)
                key = (key << 8) | (i < t.size() ? static_cast<unsigned char>(t[i]) : 0);
            return key;
        }
        }
        return 0;
    }

    // Whether each row's cell in the column is at least (at most, descending) the one before it.
    bool fetchedInOrder(int column, bool descending) const
    {
        for (qsizetype r = 1; r < store.rowCount(); ++r) {
            const int c = compareCells(column, r - 1, r);
            if (descending ? c < 0 : c > 0)
                return false;
        }
        return true;
    }

    void sortRows()
    {
        sortCollation = &Collation::current();
        dropOrder();
        if (sortColumns.empty())
            return;
        const qsizetype n = store.rowCount();
        const int primary = sortColumns.front();
        const bool primaryDescending = sortKeys.front().descending;
        auto less = [&](quint32 a, quint32 b) {
            for (size_t k = 0; k < sortColumns.size(); ++k) {
                int c = compareCells(sortColumns[k], a, b);
                if (sortKeys[k].descending)
                    c = -c;
                if (c)
                    return c < 0;
            }
            return a < b;
        };
        const Kind primaryKind = store.kind(primary);
        // A lookup's rows often come in the order asked for already (a query ending in ORDER BY, a table
        // read in key order): one pass finds that, and the stable order is then the fetch order, which an
        // empty order stands for.
        if (sortColumns.size() == 1 && primaryKind != Kind::Text &&
            fetchedInOrder(primary, primaryDescending))
            return;
        if (primaryKind == Kind::Text) {
            order =
                sortTextRows(store, primary, primaryDescending, *sortCollation, sortColumns.size() > 1, less);
            return;
        }
        std::vector<KeyedRow> entries(static_cast<size_t>(n));
        // Decimals of up to 17 digits have keys of their own; equal keys are then equal values, which the
        // stable radix sort leaves in fetch order.
        bool decimalKeysExact = true;
        for (qsizetype r = 0; r < n; ++r) {
            const quint64 key = primaryKind == Kind::Decimal && !store.isNull(primary, r)
                ? store.decimalKey(primary, r, &decimalKeysExact)
                : sortKey(primary, r);
            entries[size_t(r)] = {primaryDescending ? ~key : key, quint32(r)};
        }
        // A stable radix sort on the keys orders whole numbers and dates completely (ties stay in fetch
        // order). Runs of equal keys then need the full comparison only for bytes and decimals (keys are
        // prefixes), for later sort fields, and for a null against the smallest integer, whose keys coincide.
        radixSortByKey(entries);
        bool needRuns = primaryKind == Kind::Bytes || (primaryKind == Kind::Decimal && !decimalKeysExact) ||
            sortColumns.size() > 1;
        if (!needRuns && primaryKind != Kind::Double && primaryKind != Kind::Decimal) {
            for (qsizetype r = 0; r < n && !needRuns; ++r)
                needRuns = !store.isNull(primary, r) &&
                    store.integerAt(primary, r) == std::numeric_limits<qint64>::min();
        }
        if (needRuns) {
            for (size_t i = 0; i < entries.size();) {
                size_t j = i + 1;
                while (j < entries.size() && entries[j].key == entries[i].key)
                    ++j;
                if (j - i > 1)
                    std::sort(entries.begin() + qsizetype(i), entries.begin() + qsizetype(j),
                        [&](const KeyedRow &a, const KeyedRow &b) { return less(a.row, b.row); });
                i = j;
            }
        }
        order.resize(size_t(n));
        for (qsizetype r = 0; r < n; ++r)
            order[size_t(r)] = entries[size_t(r)].row;
    }

    Matcher bind(const Criterion &c) const
    {
        Matcher m;
        m.store = &store;
        m.collation = &Collation::current();
        m.column = columnOf(c.field);
        m.op = c.op;
        m.likeMode = c.likeMode;
        const int type = columns[size_t(m.column)].type.type;
        const Kind kind = store.kind(m.column);
        const CriteriaValue &v = c.value;
        auto refuse = []() -> Error { return Error(Error::BadRecordsetArguments); };

        if (v.kind == CriteriaValue::Null) {
            m.mode = Matcher::NullTest;
            m.wantNull = c.op == Criterion::Equal;
            return m;
        }
        if (c.op == Criterion::Like) {
            const QByteArray pattern = c.pattern.toUtf8();
            m.text.assign(pattern.constData(), size_t(pattern.size()));
            m.folded = foldText(m.text);
            if (kind == Kind::Text || kind == Kind::Bytes) {
                m.mode = c.likeMode == Criterion::Prefix
                    ? Matcher::TextPrefix
                    : (c.likeMode == Criterion::Contains ? Matcher::TextContains : Matcher::TextCompare);
            } else {
                m.mode = Matcher::ViaText;
                const DistinctTexts &texts = distinctTextsOf(m.column);
                m.textIds = texts.ids.data();
                m.idMatches.reserve(texts.texts.size());
                for (const std::string &t : texts.texts)
                    m.idMatches.push_back(m.textMatches(t));
            }
            return m;
        }
        switch (kind) {
        case Kind::Text:
        case Kind::Bytes: {
            const QByteArray text = v.text.toUtf8();
            m.text.assign(text.constData(), size_t(text.size()));
            m.mode = Matcher::TextCompare;
            return m;
        }
        case Kind::Integer:
        case Kind::Double:
        case Kind::Decimal: {
            double number = v.number;
            QByteArray exactText = v.numberText;
            if (v.kind == CriteriaValue::Text) {
                if (type == AdoType::Boolean &&
                    (v.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                        v.text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)) {
                    number = v.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ? 1 : 0;
                } else {
                    const QLocale locale;
                    bool ok = false;
                    number = locale.toDouble(v.text.trimmed(), &ok);
                    if (ok) {
                        exactText = QString(v.text.trimmed())
                                        .remove(locale.groupSeparator())
                                        .replace(locale.decimalPoint(), QLatin1String("."))
                                        .toLatin1();
                    } else {
                        number = v.text.trimmed().toDouble(&ok);
                        exactText = v.text.trimmed().toLatin1();
                    }
                    if (!ok)
                        throw refuse();
                }
            } else if (v.kind == CriteriaValue::Date) {
                throw refuse();
            }
            if (type == AdoType::Boolean && number != 0)
                number = 1; // any true value, the platform's -1 included
            // Integer and decimal columns compare with the literal's every digit: 2^53 + 1 is not 2^53.
            bool exact = true;
            std::optional<AutomationDecimal> literal;
            if (kind != Kind::Double && type != AdoType::Boolean)
                literal = exactText.isEmpty()
                    ? AutomationDecimal::fromDouble(number)
                    : AutomationDecimal::fromText(
                          std::string_view(exactText.constData(), size_t(exactText.size())),
                          AutomationDecimal::Rounding::TowardZero, &exact);
            if (literal) {
                const qint64 whole = literal->toLongLong();
                if (kind == Kind::Integer && exact &&
                    AutomationDecimal::compare(AutomationDecimal::fromInteger(whole), *literal) == 0) {
                    m.mode = Matcher::IntegerCompare;
                    m.integer = whole;
                } else {
                    m.mode = Matcher::DecimalCompare;
                    // A literal with more digits than a decimal holds lies beyond the value it was cut to.
                    m.decimal = ColumnStore::decimalOperand(
                        *literal, exact ? 0 : (exactText.startsWith('-') ? -1 : 1));
                }
                return m;
            }
            if (kind == Kind::Integer && number == std::trunc(number) && std::fabs(number) < 9.2e18) {
                m.mode = Matcher::IntegerCompare;
                m.integer = qint64(number);
            } else {
                m.mode = Matcher::DoubleCompare;
                m.number = number;
            }
            return m;
        }
        case Kind::DateTime: {
            QDateTime date;
            if (v.kind == CriteriaValue::Date) {
                date = v.date;
            } else if (v.kind == CriteriaValue::Number) {
                date = AutomationDate(v.number).toDateTime();
            } else {
                const auto read = textToDate(v.text);
                if (!read)
                    throw refuse();
                date = *read;
            }
            m.mode = Matcher::StampCompare;
            m.integer = ColumnStore::stamp(date.date().toJulianDay(), date.time().msecsSinceStartOfDay());
            return m;
        }
        }
        throw refuse();
    }

    // The rows meeting the criteria, as bits by fetch number. With one group of criteria (no OR) the
    // passing rows are also given as a list in fetch order, from which the view is made without a pass
    // over every row.
    std::vector<quint64> evaluate(
        const CriteriaGroups &groups, std::optional<std::vector<quint32>> *passing = nullptr) const
    {
        std::vector<std::vector<Matcher>> bound;
        for (const auto &group : groups) {
            std::vector<Matcher> matchers;
            for (const Criterion &c : group)
                matchers.push_back(bind(c));
            bound.push_back(std::move(matchers));
        }
        const qsizetype n = store.rowCount();
        std::vector<quint64> bits(size_t((n + 63) / 64), 0);
        std::vector<quint32> rows;
        for (const auto &matchers : bound) {
            rows.clear();
            selectRows(matchers.front(), rows);
            for (size_t k = 1; k < matchers.size(); ++k)
                narrowRows(matchers[k], rows);
            for (const quint32 r : rows)
                bits[r >> 6] |= quint64(1) << (r & 63);
        }
        if (passing && bound.size() == 1)
            *passing = std::move(rows);
        return bits;
    }

    // The rows (in fetch order) that meet one criterion. Each kind of value has its own loop over the
    // column's array, without a QVariant, a text or a branch on the kind per row; prefix LIKEs test the
    // rows' prefix words (see PrefixKeys) and read the texts of the few rows those cannot decide.
    void selectRows(const Matcher &m, std::vector<quint32> &rows) const
    {
        const qsizetype n = store.rowCount();
        if (m.mode == Matcher::TextPrefix) {
            if (const PrefixFilter f = prefixFilter(m); f.words) {
                for (qsizetype r = 0; r < n; ++r) {
                    const quint64 w = f.words[r];
                    if (w == PrefixKeys::FullCompare
                            ? m.matches(r)
                            : (w & f.test.mask) == f.test.want && (f.test.decisive || m.matches(r)))
                        rows.push_back(quint32(r));
                }
                return;
            }
        }
        if (withTypedTest(m, [&](auto test) { selectWhere(n, test, rows); }))
            return;
        for (qsizetype r = 0; r < n; ++r) {
            if (m.matches(r))
                rows.push_back(quint32(r));
        }
    }

    // Rows 0..n-1 that pass test(row), appended in order. Where many rows pass, every row is written and
    // counted only when it passes, so that a test which about half the rows pass costs no mispredicted
    // branches; where few do (as the last block showed), a branch that is nearly always right is cheaper.
    template<typename Test>
    static void selectWhere(qsizetype n, Test test, std::vector<quint32> &rows)
    {
        constexpr qsizetype Block = 2048;
        quint32 block[Block];
        bool few = true;
        for (qsizetype from = 0; from < n; from += Block) {
            const qsizetype to = std::min(n, from + Block);
            size_t kept = 0;
            if (few) {
                for (qsizetype r = from; r < to; ++r) {
                    if (test(r))
                        block[kept++] = quint32(r);
                }
            } else {
                for (qsizetype r = from; r < to; ++r) {
                    block[kept] = quint32(r);
                    kept += test(r) ? 1 : 0;
                }
            }
            few = kept < size_t(Block / 16);
            rows.insert(rows.end(), block, block + kept);
        }
    }

    // The rows that pass test(row), kept in place, in the same way.
    template<typename Test>
    static void keepWhere(Test test, std::vector<quint32> &rows)
    {
        size_t kept = 0;
        for (const quint32 r : rows) {
            rows[kept] = r;
            kept += test(qsizetype(r)) ? 1 : 0;
        }
        rows.resize(kept);
    }

    // Calls use(test) with a test of rows made for a comparison on a number, date or decimal column and
    // returns true; false, without a call, for other criteria. The test reads the column's array with its
    // type and operator decided here, and never passes a null. Each value is held against the range of
    // keys equal to the operand (first..last): for decimals, the operand's range of slots for the cell's
    // scale (see ColumnStore::DecimalOperand), so that only values held wide are compared as decimals.
    template<typename Use>
    bool withTypedTest(const Matcher &m, Use use) const
    {
        const quint64 *nulls = store.nullBits(m.column);
        const auto present = [nulls](qsizetype r) { return !((nulls[size_t(r) >> 6] >> (r & 63)) & 1); };
        // Both tests, without a branch between them.
        const auto both = [](bool a, bool b) { return bool(unsigned(a) & unsigned(b)); };
        // Calls use with the test made by test(holds), holds(key, first, last) being the operator's.
        const auto withOperator = [&m, &use](auto test) {
            // Non-short-circuit operators keep the two comparisons free of branches.
            switch (m.op) {
            case Criterion::Equal:
            case Criterion::Like:
                use(test([](auto v, auto first, auto last) { return (first <= v) & (v <= last); }));
                return;
            case Criterion::NotEqual:
                use(test([](auto v, auto first, auto last) { return (v < first) | (last < v); }));
                return;
            case Criterion::Less:
                use(test([](auto v, auto first, auto) { return v < first; }));
                return;
            case Criterion::Greater:
                use(test([](auto v, auto, auto last) { return last < v; }));
                return;
            case Criterion::LessEqual:
                use(test([](auto v, auto, auto last) { return v <= last; }));
                return;
            case Criterion::GreaterEqual:
                use(test([](auto v, auto first, auto) { return first <= v; }));
                return;
            }
        };
        switch (m.mode) {
        case Matcher::IntegerCompare:
        case Matcher::StampCompare:
            store.withIntegers(m.column, [&](const auto *values, auto unit) {
                const qint64 operand = m.integer;
                withOperator([=](auto holds) {
                    return [=](qsizetype r) -> bool {
                        return both(
                            holds(qint64(values[r]) * decltype(unit)::value, operand, operand), present(r));
                    };
                });
            });
            return true;
        case Matcher::DoubleCompare: {
            if (store.kind(m.column) != Kind::Double)
                return false;
            const double *values = store.doubles(m.column);
            const quint64 operand = orderedDoubleBits(m.number);
            withOperator([=](auto holds) {
                return [=](qsizetype r) -> bool {
                    return both(holds(orderedDoubleBits(values[r]), operand, operand), present(r));
                };
            });
            return true;
        }
        case Matcher::DecimalCompare:
            // Integer and Decimal columns: their arrays hold the integers and slots themselves.
            store.withIntegers(m.column, [&](const auto *cells, auto) {
                const ColumnStore::DecimalOperand *o = &m.decimal;
                if (store.kind(m.column) == Kind::Integer) {
                    __extension__ using i128 = __int128;
                    withOperator([=](auto holds) {
                        return [=](qsizetype r) -> bool {
                            return both(holds(i128(cells[r]), o->firstInteger, o->lastInteger), present(r));
                        };
                    });
                } else if (!store.hasWideDecimals(m.column)) {
                    withOperator([=](auto holds) {
                        return [=](qsizetype r) -> bool {
                            const qint64 slot = cells[r];
                            const int scale = ColumnStore::slotScale(slot);
                            return both(holds(slot, o->first[scale], o->last[scale]), present(r));
                        };
                    });
                } else {
                    const Matcher *matcher = &m;
                    withOperator([=](auto holds) {
                        return [=](qsizetype r) -> bool {
                            const qint64 slot = cells[r];
                            if (ColumnStore::isWideSlot(slot))
                                return matcher->opHolds(matcher->compareDecimal(r));
                            const int scale = ColumnStore::slotScale(slot);
                            return both(holds(slot, o->first[scale], o->last[scale]), present(r));
                        };
                    });
                }
            });
            return true;
        default:
            return false;
        }
    }

    // Keeps the rows that also meet a further criterion of the same group.
    void narrowRows(const Matcher &m, std::vector<quint32> &rows) const
    {
        if (m.mode == Matcher::TextPrefix) {
            if (const PrefixFilter f = prefixFilter(m); f.words) {
                keepWhere(
                    [&](qsizetype r) {
                        const quint64 w = f.words[r];
                        return w == PrefixKeys::FullCompare
                            ? m.matches(r)
                            : (w & f.test.mask) == f.test.want && (f.test.decisive || m.matches(r));
                    },
                    rows);
                return;
            }
        }
        if (withTypedTest(m, [&](auto test) { keepWhere(test, rows); }))
            return;
        keepWhere([&](qsizetype r) { return m.matches(r); }, rows);
    }

    void rebuildView(std::optional<std::vector<quint32>> passing = std::nullopt)
    {
        const qsizetype n = store.rowCount();
        if (viewIsOrder) {
            order.swap(view);
            viewIsOrder = false;
        }
        view.clear();
        positions.clear();
        identityRows = -1;
        auto passesRow = [&](quint32 r) { return passes.empty() || ((passes[r >> 6] >> (r & 63)) & 1); };
        if (order.empty()) {
            if (passes.empty()) {
                std::vector<quint32>().swap(view);
                std::vector<quint32>().swap(positions);
                identityRows = n;
            } else if (passing) {
                view = std::move(*passing);
            } else {
                for (size_t word = 0; word < passes.size(); ++word) {
                    for (quint64 bits = passes[word]; bits; bits &= bits - 1)
                        view.push_back(quint32(word * 64 + size_t(std::countr_zero(bits))));
                }
            }
        } else if (passes.empty()) {
            view.swap(order);
            viewIsOrder = true;
        } else {
            for (const quint32 r : order) {
                if (passesRow(r))
                    view.push_back(r);
            }
        }
    }

    // Position of each row in the view (None when filtered out), built when a scan first needs it.
    static constexpr quint32 None = std::numeric_limits<quint32>::max();
    std::vector<quint32> positions;

    const std::vector<quint32> &viewPositions()
    {
        if (positions.empty() && !view.empty()) {
            positions.assign(size_t(store.rowCount()), None);
            for (size_t p = 0; p < view.size(); ++p)
                positions[view[p]] = quint32(p);
        }
        return positions;
    }
    // Each row's position (null where each row is at its own, the identity view) and how many rows.
    std::pair<const quint32 *, qsizetype> rowPositions()
    {
        if (identityRows >= 0)
            return {nullptr, identityRows};
        const std::vector<quint32> &p = viewPositions();
        return {p.data(), qsizetype(p.size())};
    }

    // A LIKE on a column of numbers or dates compares the values' display texts. Formatting every row at
    // every keystroke would take seconds on a large record set, so the column's distinct values are
    // formatted once, on its first such search, and each row keeps the id of its value's text; a search
    // then tests each distinct text once and each row by its id. Kept until the rows change.
    struct DistinctTexts
    {
        std::vector<quint32> ids; // per row; nulls take the last id, whose text never matches
        std::vector<std::string> texts;
    };
    mutable std::vector<DistinctTexts> distinctTexts;

    const DistinctTexts &distinctTextsOf(int column) const
    {
        if (distinctTexts.size() != columns.size())
            distinctTexts.assign(columns.size(), {});
        DistinctTexts &d = distinctTexts[size_t(column)];
        const qsizetype n = store.rowCount();
        if (qsizetype(d.ids.size()) == n && !d.texts.empty())
            return d;
        d.ids.assign(size_t(n), 0);
        d.texts.clear();
        QHash<quint64, quint32> idOf;
        for (qsizetype r = 0; r < n; ++r) {
            if (store.isNull(column, r)) {
                d.ids[size_t(r)] = NullTextId;
                continue;
            }
            const quint64 key = store.kind(column) == Kind::Double
                ? orderedDoubleBits(store.doubleAt(column, r))
                : quint64(store.integerAt(column, r));
            auto it = idOf.constFind(key);
            if (it == idOf.constEnd()) {
                it = idOf.insert(key, quint32(d.texts.size()));
                const QByteArray text = variantToText(valueAt(r, column)).toUtf8();
                d.texts.emplace_back(text.constData(), size_t(text.size()));
            }
            d.ids[size_t(r)] = *it;
        }
        // Nulls point past the distinct texts, at one that no pattern meets.
        for (quint32 &id : d.ids) {
            if (id == NullTextId)
                id = quint32(d.texts.size());
        }
        d.texts.emplace_back();
        return d;
    }
    static constexpr quint32 NullTextId = std::numeric_limits<quint32>::max();

    // The value of a stored row (by fetch number).
    QVariant valueAt(qsizetype r, int column) const
    {
        const ColumnStore &s = store;
        if (s.isNull(column, r))
            return QVariant();
        const int type = columns[size_t(column)].type.type;
        switch (s.kind(column)) {
        case Kind::Integer: {
            const qint64 v = s.integerAt(column, r);
            if (type == AdoType::Boolean)
                return QVariant(v != 0);
            if (type == AdoType::BigInt || type == AdoType::UnsignedBigInt || type == AdoType::UnsignedInt ||
                v != qint64(int(v)))
                return QVariant(qlonglong(v));
            return QVariant(int(v));
        }
        case Kind::Double:
            return QVariant(s.doubleAt(column, r));
        case Kind::Decimal:
            return QVariant::fromValue(s.decimalAt(column, r));
        case Kind::DateTime: {
            const qint64 stamp = s.integerAt(column, r);
            if (type == AdoType::DBDate)
                return QVariant(ColumnStore::stampDate(stamp));
            if (type == AdoType::DBTime)
                return QVariant(ColumnStore::stampTime(stamp));
            return QVariant(QDateTime(ColumnStore::stampDate(stamp), ColumnStore::stampTime(stamp), Qt::UTC));
        }
        case Kind::Text: {
            const std::string_view t = s.textAt(column, r);
            return QVariant(QString::fromUtf8(t.data(), qsizetype(t.size())));
        }
        case Kind::Bytes: {
            const std::string_view t = s.textAt(column, r);
            return QVariant(QByteArray(t.data(), qsizetype(t.size())));
        }
        }
        return QVariant();
    }

    // A row position of the current order and a column, checked: vq::Error 3001 outside the record set.
    qsizetype checkedRow(qsizetype row, int column) const
    {
        if (!open || row < 0 || row >= size() || column < 0 || column >= int(columns.size()))
            throw Error(Error::BadRecordsetArguments,
                QStringLiteral("Row %1, column %2 is outside the record set (%3 rows, %4 columns).")
                    .arg(row)
                    .arg(column)
                    .arg(open ? size() : 0)
                    .arg(columns.size()));
        return rowAt(row);
    }

    // Each row's prefix word (see PrefixKeys) of a text column, FullCompare for nulls. Built on the first
    // prefix search of a column and kept until the rows change, since the help list searches the same
    // column at every keystroke; a search then reads eight bytes a row instead of the texts.
    mutable std::unique_ptr<PrefixKeys> prefixKeys;
    mutable QLocale prefixKeysLocale;
    mutable std::vector<std::vector<quint64>> prefixWords;

    const std::vector<quint64> &prefixWordsOf(int column, const PrefixKeys &keys) const
    {
        if (prefixWords.size() != columns.size())
            prefixWords.assign(columns.size(), {});
        std::vector<quint64> &words = prefixWords[size_t(column)];
        const qsizetype n = store.rowCount();
        if (qsizetype(words.size()) == n)
            return words;
        words.resize(size_t(n));
        for (qsizetype r = 0; r < n; ++r)
            words[size_t(r)] =
                store.isNull(column, r) ? PrefixKeys::FullCompare : keys.word(store.textAt(column, r));
        return words;
    }

    // A prefix LIKE's test on the rows' words; no words where the prefix's first characters have no simple
    // ranks (every row then takes the full comparison).
    struct PrefixFilter
    {
        const quint64 *words = nullptr;
        PrefixKeys::Test test;
        bool rejects(qsizetype r) const { return words && !test.passes(words[r]); }
    };

    PrefixFilter prefixFilter(const Matcher &m) const
    {
        if (m.mode != Matcher::TextPrefix || store.kind(m.column) != Kind::Text)
            return {};
        // Words made under another locale's collation are made again.
        if (!prefixKeys || &prefixKeys->collation() != m.collation ||
            prefixKeysLocale != m.collation->locale()) {
            prefixKeys = std::make_unique<PrefixKeys>(*m.collation);
            prefixKeysLocale = m.collation->locale();
            prefixWords.clear();
        }
        const PrefixKeys::Test test = prefixKeys->test(m.text);
        if (!test.usable)
            return {};
        return {prefixWordsOf(m.column, *prefixKeys).data(), test};
    }

    // The nearest matching position from `from` on (or back). A match is usually near, so the rows are
    // first taken in view order; past that, one pass in storage order (no jumps through memory) finds
    // the nearest match by position.
    qsizetype scan(const Matcher &m, qsizetype from, bool forward)
    {
        constexpr qsizetype Near = 4096;
        const qsizetype n = size();
        if (forward) {
            const qsizetype nearEnd = std::min(n, from + Near);
            for (qsizetype p = from; p < nearEnd; ++p) {
                if (m.matches(rowAt(p)))
                    return p;
            }
            if (nearEnd >= n)
                return -1;
            const PrefixFilter lead = prefixFilter(m);
            const auto [pos, rows] = rowPositions();
            quint32 best = None;
            for (qsizetype r = 0; r < rows; ++r) {
                if (lead.rejects(r))
                    continue;
                const quint32 p = pos ? pos[r] : quint32(r);
                if (p != None && p >= quint32(nearEnd) && p < best && m.matches(r))
                    best = p;
            }
            return best == None ? -1 : qsizetype(best);
        }
        const qsizetype nearEnd = std::max<qsizetype>(-1, from - Near);
        for (qsizetype p = from; p > nearEnd; --p) {
            if (m.matches(rowAt(p)))
                return p;
        }
        if (nearEnd < 0)
            return -1;
        const PrefixFilter lead = prefixFilter(m);
        const auto [pos, rows] = rowPositions();
        qsizetype best = -1;
        for (qsizetype r = 0; r < rows; ++r) {
            if (lead.rejects(r))
                continue;
            const quint32 p = pos ? pos[r] : quint32(r);
            if (p != None && qsizetype(p) <= nearEnd && qsizetype(p) > best && m.matches(r))
                best = p;
        }
        return best;
    }

    // First and one-past-last positions of the run of rows meeting the matcher in the current order.
    std::pair<qsizetype, qsizetype> sortedRun(const Matcher &m) const
    {
        const bool descending = sortKeys.front().descending;
        auto order = [&](qsizetype position) {
            const int c = m.orderAgainst(rowAt(position));
            return descending ? -c : c;
        };
        // The first position from `from` on where before(position) no longer holds.
        const auto partitionPoint = [](qsizetype from, qsizetype to, auto before) {
            while (from < to) {
                const qsizetype middle = from + (to - from) / 2;
                if (before(middle))
                    from = middle + 1;
                else
                    to = middle;
            }
            return from;
        };
        const qsizetype lower = partitionPoint(0, size(), [&](qsizetype p) { return order(p) < 0; });
        return {lower, partitionPoint(lower, size(), [&](qsizetype p) { return order(p) <= 0; })};
    }
};

Recordset::Recordset(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>(this))
{ }

Recordset::~Recordset() = default;

void Recordset::Open(
    const QString &source, Connection *activeConnection, int cursorType, int lockType, int options)
{
    Q_UNUSED(lockType);
    Q_UNUSED(options);
    if (!activeConnection || activeConnection->State() != Connection::adStateOpen)
        throw noConnection();
    d->refuseWhileFetching();
    Q_EMIT aboutToChangeRows();
    Close();
    d->source = source;
    d->connection = activeConnection;
    d->cursorType = cursorType;
    try {
        d->run();
    } catch (...) {
        Q_EMIT rowsChanged();
        Q_EMIT currentRowChanged();
        throw;
    }
    Q_EMIT rowsChanged();
    Q_EMIT currentRowChanged();
}

void Recordset::Close()
{
    if (!d->open)
        return;
    d->refuseWhileFetching();
    Q_EMIT aboutToChangeRows();
    d->open = false;
    d->dropRows();
    d->view.clear();
    d->identityRows = -1;
    d->sortKeys.clear();
    d->sortText.clear();
    d->filterText.clear();
    d->pos = -1;
    Q_EMIT rowsChanged();
}

void Recordset::Requery()
{
    d->requireOpen();
    d->refuseWhileFetching();
    Q_EMIT aboutToChangeRows();
    d->stream.reset();
    try {
        d->run(true);
    } catch (...) {
        Q_EMIT rowsChanged();
        throw;
    }
    Q_EMIT rowsChanged();
    Q_EMIT currentRowChanged();
}

qsizetype Recordset::MaxRecords() const
{
    return d->maxRecords;
}

void Recordset::setMaxRecords(qsizetype maxRecords)
{
    if (maxRecords < 0)
        throw Error(Error::BadRecordsetArguments);
    d->maxRecords = maxRecords;
}

void Recordset::Cancel()
{
    const std::lock_guard<std::mutex> lock(d->cursorMutex);
    if (!d->cancellable)
        return;
    d->cancelRequested = true;
    if (d->activeCursor)
        d->activeCursor->cancel();
}

bool Recordset::wasCancelled() const
{
    return d->cancelled;
}

int Recordset::State() const
{
    return d->open ? adStateOpen : adStateClosed;
}

QString Recordset::Source() const
{
    return d->source;
}

bool Recordset::isForwardOnly() const
{
    return d->forwardOnly();
}

Fields &Recordset::Fields()
{
    return d->fields;
}

const Fields &Recordset::Fields() const
{
    return d->fields;
}

bool Recordset::isBOF() const
{
    d->requireOpen();
    return d->size() == 0 || d->pos < 0;
}

bool Recordset::isEOF() const
{
    d->requireOpen();
    return d->size() == 0 || d->pos >= d->size();
}

void Recordset::MoveFirst()
{
    d->requireOpen();
    if (d->size() == 0 && d->blockStart == 0)
        throw Error(Error::NoCurrentRecord);
    if (d->forwardOnly() && d->blockStart > 0) {
        Requery();
        return;
    }
    d->setPos(0);
}

void Recordset::MoveNext()
{
    d->requireOpen();
    if (isEOF())
        throw Error(Error::NoCurrentRecord);
    if (d->forwardOnly() && d->pos + 1 >= d->size()) {
        // Past the block: the next one replaces it. A failure leaves the record set at EOF.
        bool more = false;
        try {
            more = d->nextBlock();
        } catch (...) {
            d->setPos(d->size());
            throw;
        }
        d->setPos(more ? 0 : d->size());
        return;
    }
    d->setPos(d->pos + 1);
}

void Recordset::MovePrevious()
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    if (isBOF())
        throw Error(Error::NoCurrentRecord);
    d->setPos(d->pos - 1);
}

void Recordset::MoveLast()
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    if (d->size() == 0)
        throw Error(Error::NoCurrentRecord);
    d->setPos(d->size() - 1);
}

void Recordset::Move(qsizetype records)
{
    d->requireOpen();
    if (d->forwardOnly()) {
        if (records < 0)
            throw notSupported();
        for (qsizetype i = 0; i < records && !isEOF(); ++i)
            MoveNext();
        return;
    }
    const qsizetype target = d->pos + records;
    d->setPos(std::clamp<qsizetype>(target, -1, d->size()));
}

qsizetype Recordset::RecordCount() const
{
    d->requireOpen();
    return d->forwardOnly() ? -1 : d->size();
}

qsizetype Recordset::AbsolutePosition() const
{
    if (!d->open || d->forwardOnly())
        return adPosUnknown;
    if (d->size() == 0 || d->pos < 0)
        return adPosBOF;
    if (d->pos >= d->size())
        return adPosEOF;
    return d->pos + 1;
}

void Recordset::setAbsolutePosition(qsizetype position)
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    if (position < 1 || position > d->size())
        throw Error(Error::BadRecordsetArguments);
    d->setPos(position - 1);
}

qsizetype Recordset::Bookmark() const
{
    if (isBOF() || isEOF())
        throw Error(Error::NoCurrentRecord);
    return d->forwardOnly() ? d->blockStart + d->pos : d->rowAt(d->pos);
}

void Recordset::setBookmark(qsizetype bookmark)
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    const qsizetype position = d->positionOfRow(bookmark);
    if (position < 0)
        throw Error(Error::BadRecordsetArguments);
    d->setPos(position);
}

QString Recordset::Sort() const
{
    return d->sortText;
}

void Recordset::setSort(const QString &sort)
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    std::vector<SortKey> keys = parseSortOrder(sort);
    std::vector<int> columns;
    for (const SortKey &k : keys)
        columns.push_back(d->columnOf(k.field));
    Q_EMIT aboutToChangeRows();
    d->sortText = sort;
    d->sortKeys = std::move(keys);
    d->sortColumns = std::move(columns);
    d->sortRows();
    d->rebuildView();
    d->pos = 0;
    Q_EMIT rowsChanged();
    Q_EMIT currentRowChanged();
}

QString Recordset::Filter() const
{
    return d->filterText;
}

void Recordset::setFilter(const QString &criteria)
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    std::vector<quint64> passes;
    std::optional<std::vector<quint32>> passing;
    if (!criteria.trimmed().isEmpty())
        passes = d->evaluate(parseCriteria(criteria), &passing);
    Q_EMIT aboutToChangeRows();
    d->filterText = criteria.trimmed().isEmpty() ? QString() : criteria;
    d->passes = std::move(passes);
    d->rebuildView(std::move(passing));
    d->pos = 0;
    Q_EMIT rowsChanged();
    Q_EMIT currentRowChanged();
}

bool Recordset::Find(const QString &criteria, qsizetype skipRecords, int searchDirection, qsizetype start)
{
    d->requireOpen();
    if (d->forwardOnly())
        throw notSupported();
    const Matcher m = d->bind(parseCriterion(criteria));
    const bool forward = searchDirection != adSearchBackward;
    const qsizetype n = d->size();
    qsizetype from = d->pos;
    if (start >= 0) {
        from = d->positionOfRow(start);
        if (from < 0)
            throw Error(Error::BadRecordsetArguments);
    }
    from += forward ? skipRecords : -skipRecords;
    if (forward)
        from = std::max<qsizetype>(from, 0);
    else
        from = std::min<qsizetype>(from, n - 1);

    qsizetype found = -1;
    if (!d->sortColumns.empty() && d->sortColumns.front() == m.column && m.contiguousInSortOrder()) {
        const auto [lower, upper] = d->sortedRun(m);
        if (lower < upper) {
            if (forward && from < upper)
                found = std::max(from, lower);
            else if (!forward && from >= lower)
                found = std::min(from, upper - 1);
        }
    } else {
        found = d->scan(m, from, forward);
    }
    if (found >= 0)
        d->setPos(found);
    else
        d->setPos(forward ? n : -1);
    return found >= 0;
}

qsizetype Recordset::rowCount() const
{
    return d->open ? d->size() : 0;
}

int Recordset::columnCount() const
{
    return int(d->columns.size());
}

qsizetype Recordset::currentRow() const
{
    return d->pos;
}

bool Recordset::isNull(qsizetype row, int column) const
{
    return d->store.isNull(column, d->checkedRow(row, column));
}

QVariant Recordset::value(qsizetype row, int column) const
{
    return d->valueAt(d->checkedRow(row, column), column);
}

QString Recordset::text(qsizetype row, int column) const
{
    const qsizetype r = d->checkedRow(row, column);
    const ColumnStore &s = d->store;
    if (s.isNull(column, r))
        return QString();
    if (s.kind(column) == Kind::Text) {
        const std::string_view t = s.textAt(column, r);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    return variantToText(d->valueAt(r, column));
}

size_t Recordset::storageBytes() const
{
    const auto bytesOf = [](const auto &v) { return v.capacity() * sizeof(v[0]); };
    size_t bytes = d->store.memoryBytes() + bytesOf(d->order) + bytesOf(d->passes);
    if (!d->viewIsOrder)
        bytes += bytesOf(d->view);
    for (const std::vector<quint64> &words : d->prefixWords)
        bytes += bytesOf(words);
    for (const Private::DistinctTexts &t : d->distinctTexts) {
        bytes += bytesOf(t.ids) + bytesOf(t.texts);
        for (const std::string &text : t.texts)
            bytes += text.capacity() > std::string().capacity() ? text.capacity() : 0;
    }
    return bytes;
}

} // namespace vq
