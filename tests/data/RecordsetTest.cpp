#include "TestDatabase.h"

#include "data/Adodc.h"
#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"
#include "platform/AutomationDecimal.h"
#include "platform/Error.h"
#include "platform/VariantText.h"

#include <QRandomGenerator>

#include <atomic>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "support/Errors.h"

using namespace vq;
using vq::test::errorNumber;

namespace {

class SqliteRecordset : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("people.db"));
        testdb::makeSqlite(path,
            {QStringLiteral(
                 "CREATE TABLE people (id integer, name varchar(40), city nvarchar(30), amount "
                 "numeric(10,2), born date, seen timestamp, active boolean, note text, ratio real, "
                 "big bigint, small smallint, price float, code char(4))"),
                QStringLiteral(
                    "INSERT INTO people VALUES (1, 'Baker', 'Boston', 12.5, '2020-01-02', '2020-01-02 "
                    "10:30:00', 1, 'first', 0.5, 9000000000, 7, 1.25, 'AB')"),
                QStringLiteral(
                    "INSERT INTO people VALUES (2, 'Adams', 'Ängelholm', 0, '1999-12-31', '1999-12-31 "
                    "00:00:00', 0, NULL, NULL, NULL, NULL, NULL, NULL)"),
                QStringLiteral(
                    "INSERT INTO people VALUES (3, 'Bakersfield', 'boston', 5, NULL, NULL, NULL, 'x', 2, "
                    "3, 4, 5.5, 'CD')"),
                QStringLiteral(
                    "INSERT INTO people VALUES (12, 'zoë', NULL, 120, '2021-06-30', NULL, 1, NULL, 1, 1, "
                    "1, 1, 'EF')"),
                QStringLiteral(
                    "INSERT INTO people VALUES (120, NULL, 'Boston', 12, '2021-06-30', NULL, 0, NULL, 1, "
                    "1, 1, 1, 'GH')")});
        connection.Open(testdb::nativeString(path));
    }

    // The values of one column in the current order.
    QStringList column(Recordset &rs, int c)
    {
        QStringList out;
        for (qsizetype r = 0; r < rs.rowCount(); ++r)
            out << (rs.isNull(r, c) ? QStringLiteral("<null>") : rs.text(r, c));
        return out;
    }

    QTemporaryDir dir;
    QString path;
    Connection connection;
};

} // namespace

TEST_F(SqliteRecordset, FieldsCarryTypeCodesSizesAndValues)
{
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    const Fields &f = rs.Fields();
    ASSERT_EQ(f.Count(), 13);
    const std::vector<std::pair<int, qint64>> expected {{3, 4}, {200, 40}, {202, 30}, {131, 19}, {133, 6},
        {135, 16}, {11, 2}, {201, 2147483647}, {4, 4}, {20, 8}, {2, 2}, {5, 8}, {129, 4}};
    for (int i = 0; i < f.Count(); ++i) {
        EXPECT_EQ(f.Item(i).Type(), expected[size_t(i)].first) << f.Item(i).Name().toStdString();
        EXPECT_EQ(f.Item(i).DefinedSize(), expected[size_t(i)].second) << f.Item(i).Name().toStdString();
    }
    EXPECT_EQ(f.Item(QStringLiteral("NAME")).index(), 1);
    EXPECT_EQ(errorNumber([&] { f.Item(QStringLiteral("nope")); }), 3265);

    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(f.Item(0).Value(), QVariant(1));
    EXPECT_EQ(f.Item(1).Value(), QVariant(QStringLiteral("Baker")));
    EXPECT_EQ(f.Item(3).Value(), QVariant::fromValue(*AutomationDecimal::fromText("12.5")));
    EXPECT_EQ(f.Item(4).Value(), QVariant(QDate(2020, 1, 2)));
    EXPECT_EQ(f.Item(5).Value().toDateTime(), QDateTime(QDate(2020, 1, 2), QTime(10, 30), Qt::UTC));
    EXPECT_EQ(f.Item(6).Value(), QVariant(true));
    EXPECT_EQ(f.Item(9).Value(), QVariant(qlonglong(9000000000)));

    // Value to text as for display; a null cannot be converted.
    EXPECT_EQ(variantToText(f.Item(3).Value()), "12.5");
    EXPECT_EQ(variantToText(f.Item(4).Value()), "1/2/2020");
    EXPECT_EQ(variantToText(f.Item(5).Value()), "1/2/2020 10:30:00 AM");
    EXPECT_EQ(variantToText(f.Item(6).Value()), "True");
    rs.MoveNext();
    EXPECT_EQ(rs.text(1, 2), "Ängelholm");
    EXPECT_EQ(variantToText(f.Item(5).Value()), "12/31/1999");
    EXPECT_FALSE(f.Item(7).Value().isValid());
    EXPECT_EQ(errorNumber([&] { variantToText(f.Item(7).Value()); }), 94);
}

TEST_F(SqliteRecordset, NavigatesBetweenBofAndEof)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id FROM people ORDER BY id"), &connection, Recordset::adOpenStatic);
    EXPECT_FALSE(rs.isBOF());
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(120));
    rs.MoveNext();
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(rs.AbsolutePosition(), Recordset::adPosEOF);
    EXPECT_EQ(errorNumber([&] { rs.MoveNext(); }), 3021);
    EXPECT_EQ(errorNumber([&] { rs.Fields().Item(0).Value(); }), 3021);
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.isBOF());
    rs.Move(3);
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(3));
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(2));
    EXPECT_EQ(rs.property("EOF").toBool(), false);
}

TEST_F(SqliteRecordset, SortsStablyWithoutRegardToCaseAndRestoresFetchOrder)
{
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    rs.setSort(QStringLiteral("city"));
    // Nulls first, equal cities (in any case) keep fetch order; Ängelholm among the A's under en-US.
    EXPECT_EQ(column(rs, 0), QStringList({"12", "2", "1", "3", "120"}));
    rs.setSort(QStringLiteral("[city] DESC, id DESC"));
    EXPECT_EQ(column(rs, 0), QStringList({"120", "3", "1", "2", "12"}));
    rs.setSort(QStringLiteral("amount"));
    EXPECT_EQ(column(rs, 3), QStringList({"0", "5", "12", "12.5", "120"}));
    rs.setSort(QStringLiteral("born DESC"));
    EXPECT_EQ(column(rs, 0), QStringList({"12", "120", "1", "2", "3"}));
    EXPECT_EQ(rs.AbsolutePosition(), 1);

    // A refused sort leaves the previous one.
    EXPECT_EQ(errorNumber([&] { rs.setSort(QStringLiteral("[nope]")); }), 3001);
    EXPECT_EQ(rs.Sort(), "born DESC");
    rs.setSort(QString());
    EXPECT_EQ(column(rs, 0), QStringList({"1", "2", "3", "12", "120"}));
}

TEST_F(SqliteRecordset, FiltersWithTheCriteriaTheHelpListBuilds)
{
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    rs.setSort(QStringLiteral("[name]"));
    rs.MoveLast();
    rs.setFilter(QStringLiteral("[name] like 'BAK%'"));
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.AbsolutePosition(), 1); // repositioned on the first passing row
    EXPECT_EQ(column(rs, 1), QStringList({"Baker", "Bakersfield"}));

    // Sorted by name, so the null name comes first. Accumulated filters; the empty number text of the help
    // list filters for zero; a timestamp typed unquoted.
    for (const auto &[filter, ids] :
        std::vector<std::pair<const char *, QStringList>> {{"[name] like 'bak%' and [amount] = 5", {"3"}},
            {"[amount] = 0", {"2"}}, {"[city] = 'BOSTON' OR [id] >= 100", {"120", "1", "3"}},
            {"(city like '*ost*' AND active = True) OR (name = NULL)", {"120", "1"}},
            {"born >= #2021-01-01# and seen = NULL", {"120", "12"}}, {"[seen] = 1/2/2020 10:30", {"1"}},
            {"[city] like 'äng%'", {"2"}}}) {
        rs.setFilter(QString::fromUtf8(filter));
        EXPECT_EQ(column(rs, 0), ids) << filter;
    }

    // Refused criteria leave the filter in force: malformed, unknown field, text for a number.
    for (const char *bad : {"(id = 1 OR id = 2) AND city = 'Boston'", "[nope] = 1", "[amount] = 'abc'",
             "[born] = 'someday'", "[name] like 'a%b'"}) {
        EXPECT_EQ(errorNumber([&] { rs.setFilter(QLatin1String(bad)); }), 3001) << bad;
        EXPECT_EQ(rs.Filter(), "[city] like 'äng%'");
        EXPECT_EQ(rs.RecordCount(), 1);
    }
    rs.setFilter(QString());
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.Sort(), "[name]");
}

TEST_F(SqliteRecordset, FindsLikeTheIncrementalSearch)
{
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    rs.setSort(QStringLiteral("name"));
    auto search = [&](const QString &criteria) {
        rs.MoveFirst();
        rs.Find(criteria);
        return rs.isEOF() ? QStringLiteral("<EOF>") : rs.Fields().Item(0).Value().toString();
    };
    EXPECT_EQ(search(QStringLiteral("[name] like 'b%'")), "1");
    EXPECT_EQ(search(QStringLiteral("[name] like 'bakers%'")), "3");
    EXPECT_EQ(search(QStringLiteral("[name] like 'bakerz%'")), "<EOF>");
    EXPECT_EQ(search(QStringLiteral("[name] like 'Bakers%'")), "3");
    EXPECT_EQ(search(QStringLiteral("[name] like 'ZOË%'")), "12");
    EXPECT_EQ(search(QStringLiteral("[name] = 'baker'")), "1");
    EXPECT_EQ(errorNumber([&] { search(QStringLiteral("[name] like 'it's%'")); }), 3001);
    EXPECT_EQ(errorNumber([&] { search(QString()); }), 3001);

    // A number column: equality, so 12 finds 12 and not 120.
    rs.setSort(QStringLiteral("[id]"));
    EXPECT_EQ(search(QStringLiteral("[id] = 12")), "12");
    EXPECT_EQ(search(QStringLiteral("[id] = 0")), "<EOF>");
    // Unsorted columns are scanned in the current order.
    EXPECT_EQ(search(QStringLiteral("[city] like 'bos%'")), "1");
    rs.Find(QStringLiteral("[city] like 'bos%'"), 1);
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(3));

    // Backwards, with no match ending at BOF.
    rs.MoveLast();
    EXPECT_TRUE(rs.Find(QStringLiteral("[amount] = 5"), 0, Recordset::adSearchBackward));
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(3));
    EXPECT_FALSE(rs.Find(QStringLiteral("[id] = 120"), 0, Recordset::adSearchBackward));
    EXPECT_TRUE(rs.isBOF());
    // From a bookmark.
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find(QStringLiteral("[id] >= 1"), 0, Recordset::adSearchForward, 3));
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(12));
}

// A bookmark names a row by its fetch number whatever the order shown: fetch order (the state after Open),
// a filter, a sort. A row that is not shown (filtered out, or none at all) is refused, as a start of Find.
TEST_F(SqliteRecordset, BookmarksFindTheirRowInEveryOrder)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, name FROM people"), &connection, Recordset::adOpenStatic);
    const std::vector<std::pair<QString, QString>> views {{QString(), QString()},
        {QStringLiteral("[id] <> 3"), QString()}, {QString(), QStringLiteral("name DESC")}};
    for (const auto &[filter, sort] : views) {
        rs.setFilter(filter);
        rs.setSort(sort);
        for (qsizetype p = 1; p <= rs.RecordCount(); ++p) {
            rs.setAbsolutePosition(p);
            const qsizetype bookmark = rs.Bookmark();
            const QVariant id = rs.Fields().Item(0).Value();
            rs.MoveFirst();
            rs.setBookmark(bookmark);
            EXPECT_EQ(rs.AbsolutePosition(), p) << filter.toStdString() << sort.toStdString();
            EXPECT_EQ(rs.Fields().Item(0).Value(), id);
        }
        const std::vector<qsizetype> refused =
            filter.isEmpty() ? std::vector<qsizetype> {-1, 5} : std::vector<qsizetype> {-1, 5, 2};
        for (const qsizetype bookmark : refused) {
            EXPECT_EQ(errorNumber([&] { rs.setBookmark(bookmark); }), 3001) << bookmark;
            EXPECT_EQ(errorNumber([&] {
                rs.Find(QStringLiteral("[id] > 0"), 0, Recordset::adSearchForward, bookmark);
            }),
                bookmark < 0 ? 0 : 3001)
                << bookmark;
        }
    }
}

TEST_F(SqliteRecordset, BinarySearchOnTheSortColumnAgreesWithAScan)
{
    // Random names with repeats, mixed case, nulls and non-ASCII; every prefix search on the sorted column
    // must land where a plain scan of the rows in order finds the first match.
    QStringList statements {QStringLiteral("CREATE TABLE words (id integer, word varchar(20), n integer)"),
        QStringLiteral("BEGIN")};
    QRandomGenerator rng(42);
    const QStringList syllables {"ba", "Ba", "ke", "KE", "r", "zö", "Zö", "a", "", "é", "É", "e", "ô"};
    for (int i = 0; i < 6000; ++i) {
        QString w;
        for (int k = 0; k < 3; ++k)
            w += syllables[int(rng.bounded(syllables.size()))];
        const QString value = rng.bounded(20) == 0 ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(w);
        statements
            << QStringLiteral("INSERT INTO words VALUES (%1, %2, %3)").arg(i).arg(value).arg(rng.bounded(50));
    }
    // Rows that sort last by n, so that a search from the top finds them only past the near rows.
    statements << QStringLiteral("INSERT INTO words VALUES (6000, 'Xylo', 50), (6001, NULL, 50), "
                                 "(6002, 'xYLOphone', 50)")
               << QStringLiteral("COMMIT");
    const QString file = dir.filePath(QStringLiteral("words.db"));
    testdb::makeSqlite(file, statements);
    Connection c;
    c.Open(testdb::nativeString(file));
    Recordset rs;
    rs.Open(QStringLiteral("words"), &c, Recordset::adOpenStatic);

    const QStringList prefixes {
        "b", "BA", "bake", "ker", "zö", "ZÖA", "a", "q", "babababa", "e", "É", "kee", "zo", "o"};
    // The oracle: a prefix ignores case and accents (for these Latin texts, the marks that NFD splits off).
    auto primary = [](const QString &t) {
        QString out;
        for (const QChar ch : t.normalized(QString::NormalizationForm_D)) {
            if (ch.category() != QChar::Mark_NonSpacing)
                out += ch;
        }
        return out.toCaseFolded();
    };
    // The first row from `start` in `direction` that passes, else the row past the end of that direction.
    auto scan = [&](qsizetype start, int direction, const std::function<bool(qsizetype)> &passes) {
        for (qsizetype r = start; r >= 0 && r < rs.rowCount(); r += direction) {
            if (passes(r))
                return r;
        }
        return direction > 0 ? rs.rowCount() : qsizetype(-1);
    };
    auto wordBegins = [&](const QString &p) {
        return
            [&, p](qsizetype r) { return !rs.isNull(r, 1) && primary(rs.text(r, 1)).startsWith(primary(p)); };
    };
    for (const QString &sort : {QStringLiteral("word"), QStringLiteral("word DESC")}) {
        for (const QString &filter : {QString(), QStringLiteral("n < 25")}) {
            rs.setSort(sort);
            rs.setFilter(filter);
            for (const QString &p : prefixes) {
                rs.MoveFirst();
                rs.Find(QStringLiteral("[word] like '%1%'").arg(p));
                EXPECT_EQ(rs.currentRow(), scan(0, 1, wordBegins(p)))
                    << sort.toStdString() << " " << p.toStdString();
            }
            // Sorted by another column, or in fetch order, the word search scans; far from the start it scans
            // in storage order. One row, or none, anywhere in the order.
            for (const QString &scanSort : {QStringLiteral("n"), QString()}) {
                rs.setSort(scanSort);
                for (const qsizetype start : {qsizetype(0), qsizetype(2000), rs.rowCount() - 3}) {
                    for (const int direction : {1, -1}) {
                        for (const QString &p : {QStringLiteral("ZÖA"), QStringLiteral("bake"),
                                 QStringLiteral("Kr"), QStringLiteral("q"), QStringLiteral("XYLOP")}) {
                            rs.setAbsolutePosition(start + 1);
                            rs.Find(QStringLiteral("word like '%1%'").arg(p), 0, direction);
                            EXPECT_EQ(rs.currentRow(), scan(start, direction, wordBegins(p)))
                                << start << " " << direction << " " << p.toStdString();
                        }
                        for (const int id : {5999, 17, -5}) {
                            rs.setAbsolutePosition(start + 1);
                            rs.Find(QStringLiteral("id = %1").arg(id), 0, direction);
                            EXPECT_EQ(rs.currentRow(),
                                scan(start, direction,
                                    [&](qsizetype r) { return rs.value(r, 0).toInt() == id; }))
                                << start << " " << direction << " " << id;
                        }
                    }
                }
            }
            rs.setAbsolutePosition(qMin<qsizetype>(10, rs.RecordCount()));
            rs.Find(QStringLiteral("n = 7"));
            EXPECT_EQ(rs.currentRow(), scan(9, 1, [&](qsizetype r) { return rs.value(r, 2).toInt() == 7; }));
        }
    }
}

TEST_F(SqliteRecordset, ForwardOnlyCursorStreamsEveryRow)
{
    QStringList statements {QStringLiteral("CREATE TABLE n (v integer)"), QStringLiteral("BEGIN")};
    for (int i = 0; i < 1000; ++i)
        statements << QStringLiteral("INSERT INTO n VALUES (%1)").arg(i);
    statements << QStringLiteral("COMMIT");
    const QString file = dir.filePath(QStringLiteral("n.db"));
    testdb::makeSqlite(file, statements);
    Connection c;
    c.Open(testdb::nativeString(file));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT v FROM n"), &c);
    EXPECT_EQ(rs.RecordCount(), -1);
    qint64 sum = 0;
    int count = 0;
    while (!rs.isEOF()) {
        sum += rs.Fields().Item(0).Value().toInt();
        ++count;
        rs.MoveNext();
    }
    EXPECT_EQ(count, 1000);
    EXPECT_EQ(sum, 999 * 1000 / 2);
    EXPECT_EQ(errorNumber([&] { rs.setSort(QStringLiteral("v")); }), 3251);
    EXPECT_EQ(errorNumber([&] { rs.MovePrevious(); }), 3251);
    rs.MoveFirst(); // runs the query again
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(0));
}

TEST_F(SqliteRecordset, KeepsValuesThatDoNotFitTheDeclaredType)
{
    connection.Execute(QStringLiteral("CREATE TABLE loose (n integer, d date, x numeric)"));
    connection.Execute(
        QStringLiteral("INSERT INTO loose VALUES (1, '2020-01-02', 1.5), (2.5, 'soon', 'abc'), "
                       "('three', 44000, 2)"));
    Recordset rs;
    rs.Open(QStringLiteral("loose"), &connection, Recordset::adOpenStatic);
    EXPECT_EQ(rs.Fields().Item(0).Type(), 3);
    EXPECT_EQ(rs.text(0, 0), "1");
    EXPECT_EQ(rs.text(1, 0), "2.5");
    EXPECT_EQ(rs.text(2, 0), "three");
    EXPECT_EQ(rs.text(0, 1), "2020-01-02");
    EXPECT_EQ(rs.text(1, 1), "soon");
    EXPECT_EQ(rs.text(2, 1), "44000");
    EXPECT_EQ(rs.text(1, 2), "abc");
    // Expressions take their type from their first value.
    Recordset e;
    e.Open(QStringLiteral("SELECT count(*), 'x' || n, 1.5 FROM loose"), &connection, Recordset::adOpenStatic);
    EXPECT_EQ(e.Fields().Item(0).Type(), 20);
    EXPECT_EQ(e.Fields().Item(1).Type(), 202);
    EXPECT_EQ(e.Fields().Item(2).Type(), 5);
    EXPECT_EQ(e.Fields().Item(0).Value(), QVariant(qlonglong(3)));
}

TEST_F(SqliteRecordset, TextSortsInTheUserLocalesOrder)
{
    connection.Execute(QStringLiteral("CREATE TABLE names (n varchar(20))"));
    connection.Execute(QStringLiteral("INSERT INTO names VALUES ('Zoe'), ('Émile'), ('emile'), ('Ångström'), "
                                      "('Adams'), ('Øberg'), ('Oberon'), ('zürich'), ('Ærø'), ('adam')"));
    const struct
    {
        QLocale locale;
        QStringList order;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates),
            {"adam", "Adams", "Ærø", "Ångström", "emile", "Émile", "Øberg", "Oberon", "Zoe", "zürich"}},
        // Swedish puts Å, Ä and Ö after Z, and Ø and Æ with Ö and Ä.
        {QLocale(QLocale::Swedish, QLocale::Sweden),
            {"adam", "Adams", "emile", "Émile", "Oberon", "Zoe", "zürich", "Ångström", "Ærø", "Øberg"}},
    };
    for (const auto &c : cases) {
        QLocale::setDefault(c.locale);
        Recordset rs;
        rs.Open(QStringLiteral("names"), &connection, Recordset::adOpenStatic);
        rs.setSort(QStringLiteral("n"));
        EXPECT_EQ(column(rs, 0), c.order) << c.locale.name().toStdString();
        // Find agrees with that order: the first name that begins with "e" whatever its accent, by
        // binary search, and equality ignores case only.
        rs.Find(QStringLiteral("[n] like 'E%'"));
        EXPECT_EQ(rs.Fields().Item(0).Value().toString(), "emile");
        rs.MoveFirst();
        rs.Find(QStringLiteral("[n] = 'ÉMILE'"));
        EXPECT_EQ(rs.Fields().Item(0).Value().toString(), "Émile");
        rs.setFilter(QStringLiteral("[n] > 'Emile' and [n] < 'Zoe'"));
        EXPECT_EQ(column(rs, 0),
            c.order.mid(c.order.indexOf("Émile"), c.order.indexOf("Zoe") - c.order.indexOf("Émile")))
            << c.locale.name().toStdString();
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(SqliteRecordset, IsoDateAndTimeTextInAnyOfSqlitesFormsKeepsItsType)
{
    connection.Execute(QStringLiteral("CREATE TABLE stamps (k integer, s timestamp, t time)"));
    connection.Execute(QStringLiteral(
        "INSERT INTO stamps VALUES (1, '2020-01-02T10:30:00Z', '08:15'), (2, '2020-01-02 10:30:00.5+02:00', "
        "'08:15:30.250'), (3, '2020-01-02t23:00-0130', '23:59:59Z'), (4, '2020-01-02', NULL)"));
    Recordset rs;
    rs.Open(QStringLiteral("stamps"), &connection, Recordset::adOpenStatic);
    ASSERT_EQ(rs.Fields().Item(1).Type(), 135);
    const std::vector<QDateTime> stamps {QDateTime(QDate(2020, 1, 2), QTime(10, 30), Qt::UTC),
        QDateTime(QDate(2020, 1, 2), QTime(8, 30, 0, 500), Qt::UTC),
        QDateTime(QDate(2020, 1, 3), QTime(0, 30), Qt::UTC),
        QDateTime(QDate(2020, 1, 2), QTime(0, 0), Qt::UTC)};
    const std::vector<QTime> times {QTime(8, 15), QTime(8, 15, 30, 250), QTime(23, 59, 59)};
    for (qsizetype r = 0; r < 4; ++r) {
        EXPECT_EQ(rs.value(r, 1).toDateTime(), stamps[size_t(r)]) << r;
        if (r < 3) {
            EXPECT_EQ(rs.value(r, 2), QVariant(times[size_t(r)])) << r;
        }
    }
    // Anything else still turns the column into text rather than lose it.
    connection.Execute(
        QStringLiteral("INSERT INTO stamps VALUES (5, '2020-01-02 10:30+2', NULL), (6, 42, 7.5)"));
    rs.Requery();
    EXPECT_EQ(rs.text(4, 1), "2020-01-02 10:30+2");
    EXPECT_EQ(rs.text(5, 1), "42");
    EXPECT_EQ(rs.text(5, 2), "7.5");
    EXPECT_TRUE(rs.isNull(4, 2));
}

TEST_F(SqliteRecordset, MovesAndRowAccessCheckTheirBounds)
{
    Recordset empty;
    empty.Open(QStringLiteral("SELECT * FROM people WHERE id < 0"), &connection, Recordset::adOpenStatic);
    EXPECT_EQ(errorNumber([&] { empty.MoveFirst(); }), 3021);
    EXPECT_EQ(errorNumber([&] { empty.MoveLast(); }), 3021);
    EXPECT_TRUE(empty.isBOF() && empty.isEOF());
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_EQ(empty.Fields().Count(), 13);

    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    rs.setFilter(QStringLiteral("[id] < 3"));
    ASSERT_EQ(rs.rowCount(), 2);
    // Rows past the filtered view, negative rows and missing columns are refused, not read from storage.
    for (const auto &[row, column] :
        std::vector<std::pair<qsizetype, int>> {{2, 0}, {-1, 0}, {-5, 1}, {0, 13}, {0, -1}}) {
        EXPECT_EQ(errorNumber([&] { rs.value(row, column); }), 3001) << row << "," << column;
        EXPECT_EQ(errorNumber([&] { rs.text(row, column); }), 3001) << row << "," << column;
        EXPECT_EQ(errorNumber([&] { rs.isNull(row, column); }), 3001) << row << "," << column;
    }
    rs.Close();
    EXPECT_EQ(errorNumber([&] { rs.value(0, 0); }), 3001);
}

TEST_F(SqliteRecordset, NotANumberHasOnePlaceInSortFilterAndFind)
{
    // SQLite keeps 'NaN' in a real column as text; the record set reads it as the number.
    connection.Execute(QStringLiteral("CREATE TABLE nans (k integer, x real)"));
    connection.Execute(QStringLiteral(
        "INSERT INTO nans VALUES (1, 2.5), (2, 'NaN'), (3, -1), (4, NULL), (5, '-NaN'), (6, 1e300)"));
    Recordset rs;
    rs.Open(QStringLiteral("nans"), &connection, Recordset::adOpenStatic);
    ASSERT_EQ(rs.Fields().Item(1).Type(), 4);
    // Above every number, equal to each other (fetch order kept), nulls first.
    rs.setSort(QStringLiteral("x"));
    EXPECT_EQ(column(rs, 0), QStringList({"4", "3", "1", "6", "2", "5"}));
    rs.setSort(QStringLiteral("x DESC"));
    EXPECT_EQ(column(rs, 0), QStringList({"2", "5", "6", "1", "3", "4"}));
    rs.setFilter(QStringLiteral("[x] > 100"));
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.setFilter(QStringLiteral("[x] < 100"));
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.setFilter(QString());
    // The binary search on the sorted column and a scan agree.
    rs.setSort(QStringLiteral("x"));
    EXPECT_TRUE(rs.Find(QStringLiteral("[x] = 1e300")));
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(6));
    rs.setSort(QString());
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find(QStringLiteral("[x] >= 1e300")));
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(2));
}

TEST_F(SqliteRecordset, LikeOnADateColumnMatchesItsShownTextAndFollowsNewRows)
{
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    auto ids = [&](const QString &filter) {
        rs.setFilter(filter);
        return column(rs, 0);
    };
    // Dates show as M/d/yyyy under en-US; nulls never match.
    EXPECT_EQ(ids(QStringLiteral("[born] like '6/30%'")), QStringList({"12", "120"}));
    EXPECT_EQ(ids(QStringLiteral("[born] like '1%'")), QStringList({"1", "2"}));
    EXPECT_EQ(ids(QStringLiteral("[seen] like '%10:30%'")), QStringList({"1"}));
    EXPECT_EQ(ids(QStringLiteral("[amount] like '12%'")), QStringList({"1", "12", "120"}));
    rs.setFilter(QString());
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find(QStringLiteral("[born] like '12/31/1999%'")));
    EXPECT_EQ(rs.Fields().Item(0).Value(), QVariant(2));
    // The texts kept for the search follow a requery.
    connection.Execute(QStringLiteral("UPDATE people SET born = '2001-06-30' WHERE id = 2"));
    rs.Requery();
    EXPECT_EQ(ids(QStringLiteral("[born] like '6/30%'")), QStringList({"2", "12", "120"}));
}

TEST_F(SqliteRecordset, WhatSearchesKeepPerRowCountsInTheStorageAndGoesWithClose)
{
    connection.Execute(QStringLiteral("DELETE FROM people"));
    connection.Execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                       "20000) INSERT INTO people (id, name, born) SELECT i, 'name ' || i, "
                       "date('2000-01-01', '+' || (i % 5000) || ' days') FROM n"));
    Recordset rs;
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    const size_t fetched = rs.storageBytes();
    // A prefix word a row for the name, a text id a row for the date.
    rs.setFilter(QStringLiteral("[name] like 'name 1%'"));
    rs.setFilter(QStringLiteral("[born] like '1/1%'"));
    rs.setFilter(QString());
    EXPECT_GE(rs.storageBytes(), fetched + 20000 * (8 + 4));
    rs.Close();
    EXPECT_EQ(rs.storageBytes(), 0u);
    rs.Open(QStringLiteral("people"), &connection, Recordset::adOpenStatic);
    EXPECT_EQ(rs.storageBytes(), fetched);
}

namespace {

// Generated rows: a fetch long enough to report progress and be cancelled.
QString manyRows(int rows)
{
    return QStringLiteral("WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g WHERE x < %1) "
                          "SELECT x AS id, printf('name %08d', x) AS name FROM g")
        .arg(rows);
}

// Rows 1..n in fetch order, whole: what a cancelled or limited fetch must keep.
void expectLeadingRows(Recordset &rs, qsizetype n)
{
    ASSERT_EQ(rs.rowCount(), n);
    ASSERT_EQ(rs.RecordCount(), n);
    for (qsizetype r = 0; r < n; r += std::max<qsizetype>(1, n / 97)) {
        ASSERT_EQ(rs.value(r, 0).toLongLong(), r + 1);
        ASSERT_EQ(rs.text(r, 1), QStringLiteral("name %1").arg(r + 1, 8, 10, QLatin1Char('0')));
    }
    if (n > 0) {
        ASSERT_EQ(rs.value(n - 1, 0).toLongLong(), n);
    }
}

} // namespace

TEST_F(SqliteRecordset, MaxRecordsProgressAndCancelKeepTheRowsFetchedSoFar)
{
    const QString odbc = QStringLiteral("Driver={%1};Database=%2").arg(testdb::sqliteOdbcDriver(), path);
    // The SQLite ODBC driver runs the whole statement before its first fetch: fewer rows there.
    for (const auto &[cs, total] :
        {std::pair(testdb::nativeString(path), 2000000), std::pair(odbc, 100000)}) {
        SCOPED_TRACE(cs.toStdString());
        const QString ManyRows = manyRows(total);
        Connection c;
        c.Open(cs);
        Recordset rs;
        rs.setMaxRecords(5000);
        rs.Open(ManyRows, &c, Recordset::adOpenStatic);
        expectLeadingRows(rs, 5000);
        EXPECT_FALSE(rs.wasCancelled());
        EXPECT_EQ(errorNumber([&] { rs.setMaxRecords(-1); }), 3001);

        // Cancel from the progress handler; the handler cannot rerun or close the fetch it is in.
        rs.setMaxRecords(0);
        std::vector<std::pair<qsizetype, qsizetype>> reports;
        int refused = 0;
        const auto connection =
            QObject::connect(&rs, &Recordset::FetchProgress, [&](qsizetype p, qsizetype m) {
                reports.emplace_back(p, m);
                refused += errorNumber([&] { rs.Requery(); }) == 3251;
                rs.Cancel();
            });
        rs.Requery();
        QObject::disconnect(connection);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].second, -1); // SQLite cannot say how many rows will come
        EXPECT_EQ(refused, 1);
        EXPECT_TRUE(rs.wasCancelled());
        EXPECT_GE(rs.rowCount(), reports[0].first);
        EXPECT_LT(rs.rowCount(), total);
        expectLeadingRows(rs, rs.rowCount());
        // An ordinary record set afterwards: sorting, filtering and a new fetch work.
        rs.setSort(QStringLiteral("id DESC"));
        EXPECT_EQ(rs.Fields().Item(0).Value().toLongLong(), rs.rowCount());
        rs.setMaxRecords(10);
        rs.Requery();
        EXPECT_FALSE(rs.wasCancelled());
        EXPECT_EQ(rs.Fields().Item(0).Value().toLongLong(), 10);

        // From another thread, once the fetch is under way.
        rs.setSort(QString());
        rs.setMaxRecords(0);
        std::atomic<bool> started {false};
        const auto progress = QObject::connect(&rs, &Recordset::FetchProgress, [&] { started = true; });
        std::thread canceller([&] {
            while (!started)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            rs.Cancel();
        });
        rs.Requery();
        canceller.join();
        QObject::disconnect(progress);
        EXPECT_TRUE(rs.wasCancelled());
        EXPECT_LT(rs.rowCount(), total);
        expectLeadingRows(rs, rs.rowCount());

        // A forward-only cursor stops at its current block and keeps nothing open.
        Recordset stream;
        stream.setMaxRecords(300);
        stream.Open(ManyRows, &c, Recordset::adOpenForwardOnly);
        qsizetype read = 0;
        while (!stream.isEOF()) {
            ++read;
            stream.MoveNext();
        }
        EXPECT_EQ(read, 300);
        stream.setMaxRecords(0);
        stream.Requery();
        stream.Cancel(); // not fetching now: nothing happens
        EXPECT_FALSE(stream.wasCancelled());
    }
}

TEST_F(SqliteRecordset, RequeryKeepsTheSortAndSeesNewRows)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, name FROM people"), &connection, Recordset::adOpenStatic);
    rs.setSort(QStringLiteral("name DESC"));
    connection.Execute(QStringLiteral("INSERT INTO people (id, name) VALUES (7, 'Zed')"));
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), 6);
    EXPECT_EQ(rs.Fields().Item(1).Value(), QVariant(QStringLiteral("zoë")));
    EXPECT_EQ(rs.Sort(), "name DESC");
}

TEST_F(SqliteRecordset, DataControlOpensItsOwnConnection)
{
    Adodc adodc;
    adodc.setProperty("ConnectionString", testdb::nativeString(path));
    adodc.setProperty("RecordSource", QStringLiteral("SELECT name, city FROM people"));
    Recordset *rs = adodc.Recordset();
    int resets = 0;
    QObject::connect(rs, &Recordset::rowsChanged, [&] { ++resets; });
    QMetaObject::invokeMethod(&adodc, "Refresh");
    EXPECT_EQ(rs->RecordCount(), 5);
    EXPECT_GE(resets, 1);
    rs->setFilter(QStringLiteral("[city] like 'b%'"));
    adodc.Refresh();
    EXPECT_EQ(adodc.Recordset(), rs);
    EXPECT_EQ(rs->RecordCount(), 5);
    EXPECT_TRUE(rs->Filter().isEmpty());

    adodc.setConnectionString(testdb::nativeString(dir.filePath(QStringLiteral("gone.db"))));
    EXPECT_THROW(adodc.Refresh(), Error);
    EXPECT_EQ(rs->State(), Recordset::adStateClosed);
}
