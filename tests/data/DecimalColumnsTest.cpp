#include "TestDatabase.h"

#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "platform/AutomationDecimal.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include "support/DecimalOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

using namespace vq;
using vq::test::compareDecimalTexts;
using vq::test::plainDecimalText;

namespace {

// Rows of an id and a decimal (written in full; nullopt for null), fetched in id order.
using Rows = std::vector<std::pair<int, std::optional<std::string>>>;

std::vector<int> ids(Recordset &rs)
{
    std::vector<int> out;
    for (qsizetype r = 0; r < rs.rowCount(); ++r)
        out.push_back(rs.value(r, 0).toInt());
    return out;
}

// The ids of the rows whose value stands to x as `op` says, in id order (nulls never match).
std::vector<int> oracleMatches(const Rows &rows, const std::string &x, const std::string &op)
{
    std::vector<int> out;
    for (const auto &[id, v] : rows) {
        if (!v)
            continue;
        const int c = compareDecimalTexts(*v, x);
        const bool hit = op == "=" ? c == 0
            : op == "<>"           ? c != 0
            : op == "<"            ? c < 0
            : op == "<="           ? c <= 0
            : op == ">"            ? c > 0
                                   : c >= 0;
        if (hit)
            out.push_back(id);
    }
    return out;
}

// Values, sort, filter and Find of column 1 of `rs` (opened over `rows`) against string arithmetic.
void checkExactColumn(Recordset &rs, const Rows &rows)
{
    ASSERT_EQ(rs.RecordCount(), qsizetype(rows.size()));
    EXPECT_TRUE(rs.Fields().Item(1).Type() == 131 || rs.Fields().Item(1).Type() == 14);
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto &v = rows[r].second;
        const QVariant value = rs.value(qsizetype(r), 1);
        if (!v) {
            EXPECT_FALSE(value.isValid());
            continue;
        }
        ASSERT_EQ(value.metaType(), QMetaType::fromType<AutomationDecimal>()) << *v;
        EXPECT_EQ(value.value<AutomationDecimal>().toInvariantText(), plainDecimalText(*v));
        EXPECT_EQ(rs.text(qsizetype(r), 1).toStdString(), plainDecimalText(*v));
    }

    // Sorted: nulls first, then by value, ties in fetch order; descending the reverse of the values.
    Rows sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        if (!a.second || !b.second)
            return !a.second && b.second;
        return compareDecimalTexts(*a.second, *b.second) < 0;
    });
    std::vector<int> want;
    for (const auto &row : sorted)
        want.push_back(row.first);
    rs.setSort(QStringLiteral("[v]"));
    EXPECT_EQ(ids(rs), want);

    for (const auto &[id, v] : rows) {
        if (!v)
            continue;
        const QString literal = QString::fromStdString(*v);
        for (const char *op : {"=", "<>", "<", "<=", ">", ">="}) {
            rs.setFilter(QStringLiteral("[v] %1 %2").arg(QLatin1String(op), literal));
            rs.setSort(QString());
            EXPECT_EQ(ids(rs), oracleMatches(rows, *v, op)) << "[v] " << op << " " << *v;
        }
        rs.setFilter(QString());
        // Find: a binary search on the sorted column and a scan of the unsorted one stop at the first
        // equal value of their order.
        const std::vector<int> equal = oracleMatches(rows, *v, "=");
        for (const QString &sort : {QStringLiteral("v"), QString()}) {
            rs.setSort(sort);
            rs.MoveFirst();
            ASSERT_TRUE(rs.Find(QStringLiteral("[v] = ") + literal)) << *v;
            const int found = rs.value(rs.currentRow(), 0).toInt();
            const std::vector<int> order = ids(rs);
            const auto first = std::find_if(order.begin(), order.end(),
                [&](int i) { return std::find(equal.begin(), equal.end(), i) != equal.end(); });
            EXPECT_EQ(found, *first) << "Find [v] = " << *v << " sorted by '" << sort.toStdString() << "'";
        }
    }
    rs.setSort(QString());
}

class DecimalColumns : public ::testing::Test
{
protected:
    QTemporaryDir dir;
};

class PostgresDecimals : public testdb::PostgresTable
{
protected:
    PostgresDecimals()
        : PostgresTable("vq_decimals")
    { }
};

} // namespace

// SQLite stores whole numbers of a numeric column as 64-bit integers and others as doubles: the first come
// exactly, however many digits they have, the second as the doubles they are.
TEST_F(DecimalColumns, SqliteWholeNumbersComeExactlyAndRealsAsTheyAreStored)
{
    const Rows rows {{1, "9007199254740993"}, {2, "9007199254740992"}, {3, "9223372036854775807"},
        {4, "-9223372036854775808"}, {5, "0"}, {6, "12.5"}, {7, std::nullopt}, {8, "-0.25"}, {9, "0.1"},
        {10, "9007199254740993"}, {11, "-1"}, {12, "0.0000000001"}, {13, "-9007199254740993"},
        // Either side of the largest magnitude a cell holds in its own slot (2^57 - 1).
        {14, "144115188075855871"}, {15, "-144115188075855871"}, {16, "144115188075855872"},
        {17, "-144115188075855872"}};
    QStringList inserts {QStringLiteral("CREATE TABLE amounts (id integer, v numeric(30,10), n bigint)")};
    for (const auto &[id, v] : rows) {
        const QString value = v ? QString::fromStdString(*v) : QStringLiteral("NULL");
        inserts << QStringLiteral("INSERT INTO amounts VALUES (%1, %2, %3)")
                       .arg(id)
                       .arg(value, v && v->find('.') == std::string::npos ? value : QStringLiteral("NULL"));
    }
    const QString path = dir.filePath(QStringLiteral("d.db"));
    testdb::makeSqlite(path, inserts);
    Connection c;
    c.Open(testdb::nativeString(path));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, v, n FROM amounts ORDER BY id"), &c, Recordset::adOpenStatic);
    checkExactColumn(rs, rows);

    // A 64-bit integer column compares with every digit of the literal too, fractions included.
    for (const auto &[criteria, want] : std::vector<std::pair<QString, std::vector<int>>> {
             {QStringLiteral("[n] = 9007199254740993"), {1, 10}},
             {QStringLiteral("[n] = 9007199254740992"), {2}},
             {QStringLiteral("[n] > 9007199254740992.5"), {1, 3, 10, 14, 16}},
             {QStringLiteral("[n] = 9007199254740992.5"), {}},
             {QStringLiteral("[n] < -9223372036854775807.9"), {4}}, {QStringLiteral("[n] > 1e30"), {}},
             {QStringLiteral("[n] >= -1e30 and [n] < 0.5"), {4, 5, 11, 13, 15, 17}},
             {QStringLiteral("[n] <> 9007199254740992.5 and [n] > 144115188075855871"), {3, 16}},
             // More digits than a decimal holds: just above the largest 64-bit integer.
             {QStringLiteral("[n] >= 9223372036854775807.0000000001"), {}},
             {QStringLiteral("[n] < 9223372036854775807.0000000001 and [n] > 9223372036854775806"), {3}}}) {
        rs.setFilter(criteria);
        EXPECT_EQ(ids(rs), want) << criteria.toStdString();
    }
    // Literals of another scale than the cells', and literals with more places than a decimal holds, which
    // lie beyond every cell they were cut to.
    for (const auto &[criteria, want] : std::vector<std::pair<QString, std::vector<int>>> {
             {QStringLiteral("[v] = -0.2500 or [v] = 12.50000"), {6, 8}},
             {QStringLiteral("[v] = 12.50000000000000000000000000001"), {}},
             {QStringLiteral(
                  "[v] > 12.4999999999999999999999999999 and [v] < 12.50000000000000000000000000001"),
                 {6}},
             {QStringLiteral("[v] <= -0.25000000000000000000000000001"), {4, 11, 13, 15, 17}},
             {QStringLiteral("[v] > -0.25000000000000000000000000001 and [v] < 0"), {8}},
             {QStringLiteral("[v] >= 0.00000000010000000000000000001 and [v] < 0.1"), {}},
             {QStringLiteral("[v] > 144115188075855871.5"), {3, 16}},
             {QStringLiteral("[v] < -144115188075855871.5 and [v] > -1e19"), {4, 17}}}) {
        rs.setFilter(criteria);
        EXPECT_EQ(ids(rs), want) << criteria.toStdString();
    }
    rs.setFilter(QString());
    rs.setSort(QStringLiteral("n"));
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find(QStringLiteral("[n] = 9007199254740993")));
    EXPECT_EQ(rs.value(rs.currentRow(), 0).toInt(), 1);
    EXPECT_FALSE(rs.Find(QStringLiteral("[n] = 9007199254740992.5")));
}

// PostgreSQL's numeric over ODBC: 28 and 29 digits, the smallest steps, scales written with trailing zeros.
TEST_F(PostgresDecimals, NumericKeepsEveryDigit)
{
    const Rows rows {{1, "1234567890123456789012345678"}, {2, "-0.0000000000000000000000000001"},
        {3, "0.0000000000000000000000000001"}, {4, "79228162514264337593543950335"},
        {5, "-79228162514264337593543950335"}, {6, "9007199254740993"}, {7, "9007199254740992"}, {8, "12.50"},
        {9, "12.5"}, {10, "0"}, {11, std::nullopt}, {12, "-12.5"}, {13, "3.1415926535897932384626433833"},
        {14, "1234567890123456789012345677.9"}, {15, "0.1234567890123456789012345678"}};
    admin.Execute(QStringLiteral("CREATE TABLE %1 (id integer, v numeric)").arg(table));
    for (const auto &[id, v] : rows)
        admin.Execute(QStringLiteral("INSERT INTO %1 VALUES (%2, %3)")
                          .arg(table)
                          .arg(id)
                          .arg(v ? QString::fromStdString(*v) : QStringLiteral("NULL")));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, v FROM %1 ORDER BY id").arg(table), &admin, Recordset::adOpenStatic);
    checkExactColumn(rs, rows);

    // A literal with more digits than a decimal holds still compares exactly: 0.1234567890123456789012345678
    // lies between the two below.
    for (const auto &[criteria, want] : std::vector<std::pair<QString, std::vector<int>>> {
             {QStringLiteral("[v] = 0.12345678901234567890123456780001"), {}},
             {QStringLiteral(
                  "[v] < 0.12345678901234567890123456780001 and [v] > 0.1234567890123456789012345677999"),
                 {15}},
             {QStringLiteral("[v] > -0.00000000000000000000000000010000001 and [v] < "
                             "-0.00000000000000000000000000009999"),
                 {2}},
             {QStringLiteral("[v] > 79228162514264337593543950335.00001"), {}},
             {QStringLiteral("[v] >= 1e40 or [v] <= -1e40"), {}},
             {QStringLiteral("[v] > 0 and [v] < 1e-40"), {}}}) {
        rs.setFilter(criteria);
        EXPECT_EQ(ids(rs), want) << criteria.toStdString();
    }
}

// What no decimal holds: more digits are rounded at the 28th place, even from a text longer than the
// buffer it is read into; NaN and magnitudes from 2^96 on make a column of doubles, the other values kept.
TEST_F(PostgresDecimals, ValuesBeyondTheDecimalRoundOrBecomeDoubles)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT x::numeric AS v FROM (VALUES ('1.23456789012345678901234567895'), "
                           "('0.' || repeat('0', 10) || repeat('9', 60)), ('-2.5')) t(x)"),
        &admin, Recordset::adOpenStatic);
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.value(0, 0).toString(), "1.234567890123456789012345679");
    EXPECT_EQ(rs.value(1, 0).toString(), "0.0000000001");
    EXPECT_EQ(rs.value(2, 0).toString(), "-2.5");

    for (const char *odd : {"NaN", "1e40", "-1e90"}) {
        rs.Open(QStringLiteral("SELECT x::numeric AS v FROM (VALUES ('1.5'), ('%1'), ('-2.25')) t(x)")
                    .arg(QLatin1String(odd)),
            &admin, Recordset::adOpenStatic);
        ASSERT_EQ(rs.RecordCount(), 3) << odd;
        EXPECT_EQ(rs.value(0, 0), QVariant(1.5)) << odd;
        const double want = std::strtod(odd, nullptr);
        EXPECT_EQ(rs.value(1, 0).typeId(), QMetaType::Double) << odd;
        EXPECT_TRUE(
            rs.value(1, 0).toDouble() == want || (std::isnan(want) && std::isnan(rs.value(1, 0).toDouble())))
            << odd;
        EXPECT_EQ(rs.value(2, 0), QVariant(-2.25)) << odd;
    }
}
