#include "helplist/LookupTexts.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include "support/Errors.h"

using namespace vq::helplist;
using vq::test::errorNumber;

namespace {

struct TextCase
{
    int type;
    const char *typed;
    const char *search;
    const char *filter;
};

} // namespace

TEST(LookupTexts, SearchAndFilterTextsFollowTheFieldType)
{
    const TextCase cases[] = {
        // Numbers: the leading number, read leniently, in shortest form.
        {3, "12abc", "[F] = 12", "[F] = 12"},
        {3, "", "[F] = 0", "[F] = 0"},
        {5, "abc", "[F] = 0", "[F] = 0"},
        {131, "12.50", "[F] = 12.5", "[F] = 12.5"},
        {6, " - 1 2.5e1x", "[F] = -125", "[F] = -125"},
        {20, "&HFF", "[F] = 255", "[F] = 255"},
        {2, "'", "[F] = 0", "[F] = 0"},
        // Text, booleans and dates of types 7 and 133: a prefix LIKE on the text trimmed of blanks.
        {202, "  bak ", "[F] like 'bak%'", "[F] like 'bak%'"},
        {200, "", "[F] like '%'", "[F] like '%'"},
        {7, "1/2/20", "[F] like '1/2/20%'", "[F] like '1/2/20%'"},
        {133, "2020", "[F] like '2020%'", "[F] like '2020%'"},
        {11, "Tr", "[F] like 'Tr%'", "[F] like 'Tr%'"},
        // Nothing is escaped: the apostrophe goes through as typed, tabs are not blanks.
        {202, "O'Brien", "[F] like 'O'Brien%'", "[F] like 'O'Brien%'"},
        {202, "\tx\t", "[F] like '\tx\t%'", "[F] like '\tx\t%'"},
        // Timestamps: no search criterion; a filter takes the text exactly as typed.
        {135, " #1/2/2020# ", "", "[F] =  #1/2/2020# "},
        {135, "", "", "[F] = "},
    };
    for (const TextCase &c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(searchCriterion(QStringLiteral("F"), c.type, typed), QString::fromUtf8(c.search))
            << c.type << " " << c.typed;
        EXPECT_EQ(filterCondition(QStringLiteral("F"), c.type, typed), QString::fromUtf8(c.filter))
            << c.type << " " << c.typed;
    }
}

TEST(LookupTexts, NumbersAreWrittenWithTheLocaleDecimalSymbolButReadWithAFullStop)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(searchCriterion(QStringLiteral("Preis"), 5, QStringLiteral("12.5"), german), "[Preis] = 12,5");
    // The comma is not a decimal point for the lenient reading, whatever the locale.
    EXPECT_EQ(filterCondition(QStringLiteral("Preis"), 5, QStringLiteral("12,5"), german), "[Preis] = 12");
    EXPECT_EQ(errorNumber([] { numberText(QStringLiteral("1e999")); }), vq::Error::Overflow);
}

TEST(LookupTexts, OnlyALikeWithNothingTypedCountsAsEmpty)
{
    EXPECT_TRUE(isEmptyLike(filterCondition(QStringLiteral("Name"), 202, QStringLiteral("   "))));
    EXPECT_FALSE(isEmptyLike(filterCondition(QStringLiteral("Name"), 202, QStringLiteral("a"))));
    EXPECT_FALSE(isEmptyLike(filterCondition(QStringLiteral("Qty"), 3, QString())));
    EXPECT_FALSE(isEmptyLike(searchCriterion(QStringLiteral("Seen"), 135, QString())));
}

TEST(LookupTexts, FiltersAccumulateEarliestFirst)
{
    QString filter;
    filter = joinFilter(filter, QStringLiteral("[Name] like 'ab%'"));
    EXPECT_EQ(filter, "[Name] like 'ab%'");
    filter = joinFilter(filter, QStringLiteral("[Qty] = 5"));
    EXPECT_EQ(filter, "[Name] like 'ab%' and [Qty] = 5");
    EXPECT_EQ(joinFilter(QStringLiteral("   "), QStringLiteral("[Qty] = 5")), "[Qty] = 5");
    EXPECT_EQ(sortText(QStringLiteral("Order Date")), "[Order Date]");
}

TEST(LookupTexts, ColumnWidthsByTypeAndDefinedSize)
{
    struct
    {
        int type;
        qint64 size;
        int twips;
    } const cases[] = {
        {202, 4, 1000}, // never below ten characters
        {202, 10, 1000}, {202, 40, 4000}, {200, 60, 6000},
        {6, 8, 1500}, // numbers and type-7 dates: fifteen characters whatever their size
        {7, 8, 1500}, {131, 19, 1500}, {3, 4, 1500},
        {133, 6, 1000}, // other dates and booleans go by their size
        {11, 2, 1000}, {135, 16, 1600}, {202, 21474836, 2147483600}, // the widest that fits
    };
    for (const auto &c : cases)
        EXPECT_EQ(columnWidthTwips(c.type, c.size), c.twips) << c.type << " " << c.size;
    EXPECT_EQ(errorNumber([] { columnWidthTwips(201, 2147483647); }), vq::Error::Overflow);
    EXPECT_EQ(errorNumber([] { columnWidthTwips(202, 21474837); }), vq::Error::Overflow);
}

TEST(LookupTexts, FetchedCaptionIsAPlainCount)
{
    EXPECT_EQ(fetchedCaption(0), "0 Fetched");
    EXPECT_EQ(fetchedCaption(1234567), "1234567 Fetched");
}
