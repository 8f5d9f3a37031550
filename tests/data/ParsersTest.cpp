#include "data/Collation.h"
#include "data/ConnectionString.h"
#include "data/Criteria.h"
#include "data/FileDsn.h"
#include "data/SortOrder.h"
#include "data/TextFold.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include "support/Errors.h"

using namespace vq;
using vq::test::errorNumber;

TEST(Criteria, ReadsTheSearchAndFilterTextsOfTheHelpList)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    Criterion c = parseCriterion(QStringLiteral("[Customer Name] like 'bak%'"), us);
    EXPECT_EQ(c.field, "Customer Name");
    EXPECT_EQ(c.op, Criterion::Like);
    EXPECT_EQ(c.likeMode, Criterion::Prefix);
    EXPECT_EQ(c.pattern, "bak");

    c = parseCriterion(QStringLiteral("[amount] = 12.5"), us);
    EXPECT_EQ(c.value.kind, CriteriaValue::Number);
    EXPECT_DOUBLE_EQ(c.value.number, 12.5);
    // The help list writes numbers with the user's decimal symbol.
    c = parseCriterion(QStringLiteral("[amount] = 12,5"), QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(c.value.number, 12.5);
    c = parseCriterion(QStringLiteral("[amount] = -1.5E+20"), us);
    EXPECT_DOUBLE_EQ(c.value.number, -1.5e20);

    // A timestamp filter takes the text as typed, unquoted.
    c = parseCriterion(QStringLiteral("[seen] = 1/2/2020 10:30"), us);
    EXPECT_EQ(c.value.kind, CriteriaValue::Date);
    EXPECT_EQ(c.value.date, QDateTime(QDate(2020, 1, 2), QTime(10, 30), Qt::UTC));
    c = parseCriterion(QStringLiteral("born >= #2020-01-31#"), us);
    EXPECT_EQ(c.op, Criterion::GreaterEqual);
    EXPECT_EQ(c.value.date.date(), QDate(2020, 1, 31));

    c = parseCriterion(QStringLiteral("name = 'O''Brien'"), us);
    EXPECT_EQ(c.value.text, "O'Brien");
    c = parseCriterion(QStringLiteral("name LIKE '*ak*'"), us);
    EXPECT_EQ(c.likeMode, Criterion::Contains);
    EXPECT_EQ(c.pattern, "ak");
    c = parseCriterion(QStringLiteral("name <> NULL"), us);
    EXPECT_EQ(c.value.kind, CriteriaValue::Null);
    EXPECT_EQ(c.op, Criterion::NotEqual);
}

TEST(Criteria, JoinsClausesAsAnOrOfAndGroups)
{
    // Accumulated help-list filters: each new condition joined with " and ".
    CriteriaGroups g = parseCriteria(QStringLiteral("[name] like 'ab%' and [qty] = 5 and [city] like 'Bo%'"));
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].size(), 3u);
    EXPECT_EQ(g[0][2].field, "city");

    g = parseCriteria(QStringLiteral("(a = 1 AND b = 2) OR (a = 3 AND b = 4) OR c = 'x'"));
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].size(), 2u);
    EXPECT_EQ(g[2].size(), 1u);
    // Without precedence rules the AND groups still come out whole.
    g = parseCriteria(QStringLiteral("a = 1 OR b = 2 AND c = 3"));
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[1].size(), 2u);
}

TEST(Criteria, RefusesMalformedOrUnsuitableCriteriaWith3001)
{
    for (const char *text : {"(a = 1 OR a = 2) AND b = 3", "b = 3 AND (a = 1 OR a = 2)", "[name] like 'a%b'",
             "[name] like '%ab'", "[name] like 'it's%'", "[stamp] = ", "name", "name > NULL", "[name = 'x'",
             "", "   ", "a = 1 AND", "(a = 1", "a = 'open", "a = #not a date#", "a == 1", "a = 1 b = 2"}) {
        EXPECT_EQ(errorNumber([&] { parseCriteria(QLatin1String(text)); }), 3001) << text;
    }
    // Find takes one criterion only.
    EXPECT_EQ(errorNumber([] { parseCriterion(QStringLiteral("a = 1 AND b = 2")); }), 3001);
}

TEST(SortOrderText, ReadsNamesDirectionsAndBrackets)
{
    std::vector<SortKey> keys = parseSortOrder(QStringLiteral("name"));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].field, "name");
    EXPECT_FALSE(keys[0].descending);

    keys = parseSortOrder(QStringLiteral("[Order Date] DESC, id asc ,[a,b]"));
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].field, "Order Date");
    EXPECT_TRUE(keys[0].descending);
    EXPECT_EQ(keys[1].field, "id");
    EXPECT_FALSE(keys[1].descending);
    EXPECT_EQ(keys[2].field, "a,b");

    EXPECT_TRUE(parseSortOrder(QStringLiteral("  ")).empty());
    EXPECT_EQ(errorNumber([] { parseSortOrder(QStringLiteral("name,")); }), 3001);
    EXPECT_EQ(errorNumber([] { parseSortOrder(QStringLiteral("[name] upward")); }), 3001);
}

TEST(ConnectionStringText, ReadsKeysInAnyCaseAndBracedValues)
{
    const ConnectionString s(
        QStringLiteral("Provider=SQLite; data source = {C:\\a;b}}.db} ;FileDSN=x.dsn;;junk"));
    EXPECT_EQ(s.value(QStringLiteral("PROVIDER")), "SQLite");
    EXPECT_EQ(s.value(QStringLiteral("Data Source")), "C:\\a;b}.db");
    EXPECT_EQ(s.value(QStringLiteral("filedsn")), "x.dsn");
    EXPECT_FALSE(s.contains(QStringLiteral("junk")));
    EXPECT_EQ(ConnectionString(QStringLiteral("K=") + ConnectionString::quoteValue(QStringLiteral("a;}b")))
                  .value(QStringLiteral("k")),
        "a;}b");
}

TEST(FileDsnText, ReadsBracedValuesAndFindsBareNamesInTheDataSourceFolder)
{
    // Data-source files are written with connection-string braces around driver names.
    const auto pairs = parseFileDsn("; a comment\n[ODBC]\nDRIVER={PostgreSQL Unicode}\r\n"
                                    "PWD={a;b}}c}\nUID = clerk\nOptions=x;y\n\n[Other]\nDRIVER=no\n");
    const QList<QPair<QString, QString>> expected {
        {"DRIVER", "PostgreSQL Unicode"}, {"PWD", "a;b}c"}, {"UID", "clerk"}, {"Options", "x;y"}};
    EXPECT_EQ(pairs, expected);

    const struct
    {
        const char *name, *path;
    } cases[] = {{"kor", "/etc/ODBCDataSources/kor.dsn"}, {"kor.dsn", "/etc/ODBCDataSources/kor.dsn"},
        {"kor.DSN", "/etc/ODBCDataSources/kor.DSN"}, {"/srv/dsn/kor.dsn", "/srv/dsn/kor.dsn"},
        {"/srv/dsn/kor", "/srv/dsn/kor.dsn"}, {"sub/kor.dsn", "sub/kor.dsn"}, {"", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(resolveFileDsnPath(QString::fromUtf8(c.name), QStringLiteral("/etc/ODBCDataSources")),
            QString::fromUtf8(c.path))
            << c.name;
}

TEST(FileDsnText, PostgreSqlFetchesThroughAServerCursorUnlessTheStringSaysOtherwise)
{
    const struct
    {
        const char *string, *driver, *result;
    } cases[] = {
        {"Driver={PostgreSQL Unicode};Servername=h", "PostgreSQL Unicode psqlodbcw.so",
            "Driver={PostgreSQL Unicode};Servername=h;UseDeclareFetch=1;Fetch=2048;"},
        {"Driver=/usr/lib/odbc/psqlodbcw.so;", "/usr/lib/odbc/psqlodbcw.so",
            "Driver=/usr/lib/odbc/psqlodbcw.so;UseDeclareFetch=1;Fetch=2048;"},
        {"DSN=pg;fetch=500", "PostgreSQL Unicode psqlodbcw.so", "DSN=pg;fetch=500;UseDeclareFetch=1;"},
        {"DSN=pg;usedeclarefetch=0", "PostgreSQL Unicode psqlodbcw.so", "DSN=pg;usedeclarefetch=0"},
        {"Driver=SQLite3;Database=x", "SQLite3 libsqlite3odbc.so", "Driver=SQLite3;Database=x"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(withPostgresServerCursor(QString::fromUtf8(c.string), QString::fromUtf8(c.driver)),
            QString::fromUtf8(c.result));
}

// A program started without a locale in its environment runs under C: text still ignores case there, or a
// lookup typed in lower case would find nothing.
TEST(TextCollation, TheCLocaleIgnoresCaseAndOrdersLettersTogether)
{
    const Collation c(QLocale::c());
    EXPECT_EQ(c.compare("baker", "BAKER"), 0);
    EXPECT_EQ(c.comparePrefix("Bakersfield", "bak"), 0);
    EXPECT_EQ(c.comparePrefix("adams", "BAK"), -1);
    EXPECT_EQ(c.compare("Zoe", "adams"), 1);
}

TEST(TextFolding, ContainmentIgnoresCase)
{
    EXPECT_TRUE(containsFolded("Zoë Smith", foldText("Ë S")));
    EXPECT_TRUE(containsFolded("Bakersfield", foldText("ERSF")));
    EXPECT_FALSE(containsFolded("Zoe Smith", foldText("ë")));
}
