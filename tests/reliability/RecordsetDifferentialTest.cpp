#include "data/Connection.h"
#include "data/Recordset.h"
#include "platform/Error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <optional>
#include <random>

// The record set's Filter, Sort and Find against SQLite's WHERE and ORDER BY over the same random tables.
// SQLite compares text through ICU's collation of the same locale at secondary strength (case ignored,
// accents not), a LIKE prefix through ICU at primary strength (neither counts) and a LIKE containment by
// case-insensitive search; nulls match only "= NULL" and sort first, as the record set documents.
// Every case is seeded; a failing case is shrunk to the fewest rows that still fail and printed as SQL.

namespace {

struct Row
{
    std::optional<qint64> n;
    std::optional<double> x;
    std::optional<QString> s;
    std::optional<QString> d; // ISO date, now and then with a time
    std::optional<QString> m; // a numeric value, as SQL writes it
};

struct Query
{
    QString filter, filterSql; // empty: no filter
    QString sort, sortSql;
    QString find, findSql; // empty: no find
};

struct Outcome
{
    std::vector<qint64> ids; // rows in the record set's order after Filter and Sort
    qsizetype found = -1; // 0-based row Find stopped at; -1 for none; -2 when not asked
    QString refused; // a criteria text refused with vq::Error
    bool operator==(const Outcome &o) const
    {
        return ids == o.ids && found == o.found && refused == o.refused;
    }
};

QString sqlText(const QString &t)
{
    QString q = t;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString numberText(double v)
{
    return QString::number(v, 'g', 17);
}

// ICU collators of the test's locale (the test main pins English, United States).
UCollator *collator(UColAttributeValue strength)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *c = ucol_open("en_US", &status);
    ucol_setStrength(c, strength);
    return c;
}

UCollator *secondary()
{
    static UCollator *c = collator(UCOL_SECONDARY);
    return c;
}

UCollator *primary()
{
    static UCollator *c = collator(UCOL_PRIMARY);
    return c;
}

int collate(void *, int na, const void *a, int nb, const void *b)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(
        secondary(), static_cast<const char *>(a), na, static_cast<const char *>(b), nb, &status);
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

// vq_prefix(text, prefix): some leading part of text equals prefix at primary strength.
void prefixFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    const QString prefix = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])));
    bool match = false;
    for (qsizetype k = 0; k <= text.size() && !match; ++k) {
        if (k > 0 && k < text.size() && text.at(k).isLowSurrogate())
            continue;
        UErrorCode status = U_ZERO_ERROR;
        match = ucol_strcoll(primary(), reinterpret_cast<const UChar *>(text.utf16()), int32_t(k),
                    reinterpret_cast<const UChar *>(prefix.utf16()), int32_t(prefix.size())) == UCOL_EQUAL &&
            U_SUCCESS(status);
    }
    sqlite3_result_int(context, match);
}

// vq_contains(text, part): part occurs in text, case ignored.
void containsFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    const QString part = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])));
    sqlite3_result_int(context, text.toCaseFolded().contains(part.toCaseFolded()));
}

const QStringList &words()
{
    static const QStringList w = {QStringLiteral("apple"), QStringLiteral("Apple"), QStringLiteral("APPLE"),
        QStringLiteral("Émile"), QStringLiteral("emile"), QStringLiteral("Emily"), QStringLiteral("zoë"),
        QStringLiteral("Zoe"), QStringLiteral("o'Brien"), QStringLiteral("O'BRIEN"), QStringLiteral("straße"),
        QStringLiteral("Strasse"), QStringLiteral("Ärger"), QStringLiteral("arger"), QString(),
        QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("b"),
        QStringLiteral("123"), QStringLiteral("ñandú"), QStringLiteral("Nandu"), QStringLiteral("café"),
        QStringLiteral("CAFE"), QStringLiteral("Ωmega"), QStringLiteral("ωmega"), QStringLiteral("日本"),
        QStringLiteral("a b"), QStringLiteral("Æther"), QStringLiteral("aether"), QStringLiteral("-x"),
        QStringLiteral("x-")};
    return w;
}

const std::vector<double> &numbers()
{
    static const std::vector<double> v = {-1.5, 0, 2.5, 3, 1e6, -0.25, 7, 2.5000001};
    return v;
}

// Numeric values that SQLite keeps exactly (whole numbers as 64-bit integers, the rest as doubles that these
// few digits name), with neighbours that a double cannot tell apart, either side of the largest magnitude a
// decimal cell holds in its own slot, and as literals, texts of another scale than the values'.
const QStringList &decimals()
{
    static const QStringList v = {QStringLiteral("9007199254740993"), QStringLiteral("9007199254740992"),
        QStringLiteral("9223372036854775807"), QStringLiteral("-9223372036854775808"), QStringLiteral("0"),
        QStringLiteral("-1.5"), QStringLiteral("0.1"), QStringLiteral("2.5"), QStringLiteral("12"),
        QStringLiteral("-0.25"), QStringLiteral("-9007199254740993"), QStringLiteral("144115188075855872"),
        QStringLiteral("-144115188075855871"), QStringLiteral("2.50"), QStringLiteral("-0.250")};
    return v;
}

const QStringList &dates()
{
    static const QStringList v = {QStringLiteral("2020-01-31"), QStringLiteral("1999-12-31"),
        QStringLiteral("2024-02-29"), QStringLiteral("2020-02-01"), QStringLiteral("1900-01-01")};
    return v;
}

class Generator
{
public:
    explicit Generator(quint32 seed)
        : m_rng(seed)
    { }

    int below(int n) { return int(m_rng() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

    std::vector<Row> table()
    {
        std::vector<Row> rows(size_t(below(24)));
        for (Row &r : rows) {
            // Now and then a value past 32 bits, or a time of day, so that their columns go wide.
            if (!chance(15))
                r.n = chance(4) ? qint64(3000000000) * (below(3) - 1) : below(9) - 3;
            if (!chance(15))
                r.x = numbers()[size_t(below(int(numbers().size())))];
            if (!chance(15))
                r.s = words()[below(int(words().size()))];
            if (!chance(15))
                r.d = dates()[below(int(dates().size()))] +
                    (chance(4) ? QStringLiteral(" 10:30:00") : QString());
            if (!chance(15))
                r.m = decimals()[below(int(decimals().size()))];
        }
        // Some tables come in the order of n, as a query's ORDER BY gives them: a sort on n then finds
        // them in order already, ties and nulls included.
        if (chance(30)) {
            const bool descending = chance(50);
            std::stable_sort(rows.begin(), rows.end(),
                [descending](const Row &a, const Row &b) { return descending ? a.n > b.n : a.n < b.n; });
        }
        return rows;
    }

    // One clause and its SQL.
    std::pair<QString, QString> clause()
    {
        static const char *ops[] = {"=", "<>", "<", ">", "<=", ">="};
        const QString op = QLatin1String(ops[below(6)]);
        const bool eqOnly = op == QLatin1String("=") || op == QLatin1String("<>");
        const int field = below(5);
        static const char *names[] = {"n", "x", "s", "d", "m"};
        const QString name = QLatin1String(names[field]);
        const QString written = chance(30) ? QLatin1Char('[') + name + QLatin1Char(']') : name;
        if (eqOnly && chance(10))
            return {written + QLatin1Char(' ') + op + QStringLiteral(" NULL"),
                name +
                    (op == QLatin1String("=") ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"))};
        switch (field) {
        case 0: {
            // Now and then a fraction or a number past 2^53 against the whole numbers.
            const QString v =
                chance(20) ? decimals()[below(int(decimals().size()))] : QString::number(below(9) - 3);
            return {written + QLatin1Char(' ') + op + QLatin1Char(' ') + v,
                name + QLatin1Char(' ') + op + QLatin1Char(' ') + v};
        }
        case 1: {
            const QString v = numberText(numbers()[size_t(below(int(numbers().size())))]);
            return {written + QLatin1Char(' ') + op + QLatin1Char(' ') + v,
                name + QLatin1Char(' ') + op + QLatin1Char(' ') + v};
        }
        case 2: {
            QString w = words()[below(int(words().size()))];
            if (chance(30))
                w = chance(50) ? w.toUpper() : w.toLower();
            if (chance(35)) {
                const qsizetype cut = w.isEmpty() ? 0 : below(int(w.size()) + 1);
                const int mode = below(3);
                if (mode == 0) {
                    const QString p = w.left(cut);
                    return {written + QStringLiteral(" LIKE ") + sqlText(p + QLatin1Char('%')),
                        QStringLiteral("(s IS NOT NULL AND vq_prefix(s, %1))").arg(sqlText(p))};
                }
                if (mode == 1) {
                    const QString p = w.mid(cut / 2, qMax<qsizetype>(1, cut / 2));
                    return {
                        written + QStringLiteral(" like ") + sqlText(QLatin1Char('%') + p + QLatin1Char('%')),
                        QStringLiteral("(s IS NOT NULL AND vq_contains(s, %1))").arg(sqlText(p))};
                }
                return {written + QStringLiteral(" LIKE ") + sqlText(w),
                    QStringLiteral("s = %1 COLLATE vq").arg(sqlText(w))};
            }
            return {written + QLatin1Char(' ') + op + QLatin1Char(' ') + sqlText(w),
                QStringLiteral("s %1 %2 COLLATE vq").arg(op, sqlText(w))};
        }
        case 4: {
            const QString v = decimals()[below(int(decimals().size()))];
            return {written + QLatin1Char(' ') + op + QLatin1Char(' ') + v,
                name + QLatin1Char(' ') + op + QLatin1Char(' ') + v};
        }
        default: {
            const QString iso = dates()[below(int(dates().size()))];
            const QDate date = QDate::fromString(iso, Qt::ISODate);
            const QString v = chance(50)
                ? QLatin1Char('#') + iso + QLatin1Char('#')
                : QStringLiteral("#%1/%2/%3#").arg(date.month()).arg(date.day()).arg(date.year());
            return {written + QLatin1Char(' ') + op + QLatin1Char(' ') + v,
                name + QLatin1Char(' ') + op + QLatin1Char(' ') + sqlText(iso)};
        }
        }
    }

    // An OR of AND groups, as the criteria language allows them.
    std::pair<QString, QString> criteria()
    {
        const int groups = 1 + below(3);
        QStringList text, sql;
        for (int g = 0; g < groups; ++g) {
            const int clauses = 1 + below(3);
            QStringList t, s;
            for (int c = 0; c < clauses; ++c) {
                const auto [ct, cs] = clause();
                t.append(ct);
                s.append(cs);
            }
            const bool wrap = groups > 1 && clauses > 1;
            text.append((wrap ? QStringLiteral("(") : QString()) +
                t.join(chance(50) ? QStringLiteral(" AND ") : QStringLiteral(" and ")) +
                (wrap ? QStringLiteral(")") : QString()));
            sql.append(QLatin1Char('(') + s.join(QStringLiteral(" AND ")) + QLatin1Char(')'));
        }
        return {text.join(QStringLiteral(" OR ")), sql.join(QStringLiteral(" OR "))};
    }

    std::pair<QString, QString> sort()
    {
        static const char *names[] = {"n", "x", "s", "d", "m", "id"};
        const int keys = below(3);
        QStringList text, sql;
        for (int k = 0; k < keys; ++k) {
            const QString name = QLatin1String(names[below(6)]);
            const bool desc = chance(40);
            text.append((chance(30) ? QLatin1Char('[') + name + QLatin1Char(']') : name) +
                (desc ? QStringLiteral(" DESC") : (chance(30) ? QStringLiteral(" asc") : QString())));
            sql.append(name + (name == QLatin1String("s") ? QStringLiteral(" COLLATE vq") : QString()) +
                (desc ? QStringLiteral(" DESC") : QString()));
        }
        sql.append(QStringLiteral("id"));
        return {text.join(QStringLiteral(", ")), sql.join(QStringLiteral(", "))};
    }

    Query query()
    {
        Query q;
        if (chance(80))
            std::tie(q.filter, q.filterSql) = criteria();
        std::tie(q.sort, q.sortSql) = sort();
        if (chance(60))
            std::tie(q.find, q.findSql) = clause();
        return q;
    }

private:
    std::mt19937 m_rng;
};

QString rowsSql(const std::vector<Row> &rows)
{
    QString sql =
        QStringLiteral("CREATE TABLE t (id INTEGER, n INTEGER, x REAL, s TEXT, d DATE, m NUMERIC);\n");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row &r = rows[i];
        sql += QStringLiteral("INSERT INTO t VALUES (%1, %2, %3, %4, %5, %6);\n")
                   .arg(qlonglong(i + 1))
                   .arg(r.n ? QString::number(*r.n) : QStringLiteral("NULL"),
                       r.x ? numberText(*r.x) : QStringLiteral("NULL"),
                       r.s ? sqlText(*r.s) : QStringLiteral("NULL"),
                       r.d ? sqlText(*r.d) : QStringLiteral("NULL"), r.m.value_or(QStringLiteral("NULL")));
    }
    return sql;
}

// A database file holding the rows, open in SQLite with the oracle's collation and functions.
class Table
{
public:
    Table(const QString &path, const std::vector<Row> &rows)
        : m_path(path)
    {
        QFile::remove(path);
        sqlite3_open(path.toUtf8().constData(), &m_db);
        sqlite3_create_collation(m_db, "vq", SQLITE_UTF8, nullptr, collate);
        sqlite3_create_function(m_db, "vq_prefix", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
            prefixFunction, nullptr, nullptr);
        sqlite3_create_function(m_db, "vq_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
            containsFunction, nullptr, nullptr);
        char *error = nullptr;
        sqlite3_exec(
            m_db, ("BEGIN;" + rowsSql(rows) + "COMMIT;").toUtf8().constData(), nullptr, nullptr, &error);
        EXPECT_EQ(error, nullptr) << error;
        sqlite3_free(error);
        m_connection.Open(QStringLiteral("Provider=SQLite;Data Source=") + path);
        m_rs.Open(
            QStringLiteral("SELECT id, n, x, s, d, m FROM t"), &m_connection, vq::Recordset::adOpenStatic);
    }
    ~Table()
    {
        m_rs.Close();
        m_connection.Close();
        sqlite3_close(m_db);
    }

    std::vector<qint64> ids(const QString &sql)
    {
        std::vector<qint64> out;
        sqlite3_stmt *st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
        while (st && sqlite3_step(st) == SQLITE_ROW)
            out.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return out;
    }

    Outcome oracle(const Query &q)
    {
        Outcome o;
        const QString where = q.filter.isEmpty() ? QString() : QStringLiteral(" WHERE ") + q.filterSql;
        o.ids = ids(QStringLiteral("SELECT id FROM t") + where + QStringLiteral(" ORDER BY ") + q.sortSql);
        o.found = -2;
        if (!q.find.isEmpty()) {
            const std::vector<qint64> hits = ids(QStringLiteral("SELECT id FROM t WHERE ") + q.findSql);
            o.found = -1;
            for (size_t i = 0; i < o.ids.size() && o.found < 0; ++i) {
                if (std::find(hits.begin(), hits.end(), o.ids[i]) != hits.end())
                    o.found = qsizetype(i);
            }
        }
        return o;
    }

    Outcome recordset(const Query &q)
    {
        Outcome o;
        try {
            m_rs.setFilter(QString());
            m_rs.setSort(q.sort);
            m_rs.setFilter(q.filter);
        } catch (const vq::Error &e) {
            o.refused = q.filter + QStringLiteral(" / ") + q.sort + QStringLiteral(": ") + e.description();
        }
        for (qsizetype r = 0; r < m_rs.rowCount(); ++r)
            o.ids.push_back(m_rs.value(r, 0).toLongLong());
        o.found = -2;
        if (!q.find.isEmpty()) {
            try {
                if (m_rs.rowCount() > 0)
                    m_rs.MoveFirst();
                o.found = m_rs.Find(q.find) ? m_rs.currentRow() : -1;
            } catch (const vq::Error &e) {
                o.refused += q.find + QStringLiteral(": ") + e.description();
            }
        }
        return o;
    }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
    vq::Connection m_connection;
    vq::Recordset m_rs;
};

QString describe(const Outcome &o)
{
    QStringList ids;
    for (qint64 id : o.ids)
        ids.append(QString::number(id));
    QString s = QStringLiteral("ids [%1]").arg(ids.join(QLatin1Char(' ')));
    if (o.found != -2)
        s += QStringLiteral(", find at %1").arg(o.found);
    if (!o.refused.isEmpty())
        s += QStringLiteral(", refused: ") + o.refused;
    return s;
}

bool disagree(const QString &path, const std::vector<Row> &rows, const Query &q)
{
    Table t(path, rows);
    return !(t.oracle(q) == t.recordset(q));
}

// The fewest rows (removing one at a time while the disagreement stays) and the two outcomes.
QString reproducer(const QString &path, std::vector<Row> rows, const Query &q)
{
    for (size_t i = rows.size(); i-- > 0;) {
        std::vector<Row> fewer = rows;
        fewer.erase(fewer.begin() + qsizetype(i));
        if (disagree(path, fewer, q))
            rows = std::move(fewer);
    }
    Table t(path, rows);
    return rowsSql(rows) +
        QStringLiteral("Filter: %1\nSort: %2\nFind: %3\nSQLite:     %4\nRecord set: %5\n")
            .arg(q.filter, q.sort, q.find, describe(t.oracle(q)), describe(t.recordset(q)));
}

} // namespace

TEST(RecordsetDifferential, FilterSortAndFindAgreeWithSqlite)
{
    const quint32 firstSeed =
        qEnvironmentVariableIsSet("VQ_DIFF_SEED") ? qEnvironmentVariableIntValue("VQ_DIFF_SEED") : 1;
    const int tables =
        qEnvironmentVariableIsSet("VQ_DIFF_TABLES") ? qEnvironmentVariableIntValue("VQ_DIFF_TABLES") : 120;
    const int queriesPerTable = 25;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diff.db"));
    int cases = 0, failures = 0;
    for (quint32 seed = firstSeed; seed < firstSeed + quint32(tables) && failures < 3; ++seed) {
        Generator gen(seed);
        const std::vector<Row> rows = gen.table();
        std::vector<Query> queries;
        for (int i = 0; i < queriesPerTable; ++i)
            queries.push_back(gen.query());
        std::vector<size_t> failed;
        {
            Table t(path, rows);
            for (size_t i = 0; i < queries.size(); ++i) {
                ++cases;
                if (!(t.oracle(queries[i]) == t.recordset(queries[i])))
                    failed.push_back(i);
            }
        }
        for (size_t i : failed) {
            if (++failures > 3)
                break;
            ADD_FAILURE() << "seed " << seed << " query " << i << " (VQ_DIFF_SEED=" << seed
                          << " VQ_DIFF_TABLES=1):\n"
                          << reproducer(path, rows, queries[i]).toStdString();
        }
    }
    std::printf("differential cases run: %d\n", cases);
}
