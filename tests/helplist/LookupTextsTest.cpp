#include "helplist/LookupTexts.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include "support/Errors.h"

using namespace vq::helplist;
using vq::test::errorNumber;

TEST(LookupTexts, SearchAndFilterTextsFollowTheFieldType)
{
    const struct
    {
        int type;
        const char *typed, *search, *filter;
    } cases[] = {
        // Numbers: the leading number, read leniently, in shortest form.
        {3, "12abc", "[F] = 12", "[F] = 12"},
        {5, "", "[F] = 0", "[F] = 0"},
        {131, "12.50", "[F] = 12.5", "[F] = 12.5"},
        {6, " - 1 2.5e1x", "[F] = -125", "[F] = -125"},
        {20, "&HFF", "[F] = 255", "[F] = 255"},
        // Text, booleans and dates of types 7 and 133: a prefix LIKE on the text trimmed of blanks.
        {202, "  bak ", "[F] like 'bak%'", "[F] like 'bak%'"},
        {7, "1/2/20", "[F] like '1/2/20%'", "[F] like '1/2/20%'"},
        {11, "Tr", "[F] like 'Tr%'", "[F] like 'Tr%'"},
        // Nothing is escaped, and tabs are not blanks.
        {202, "O'Brien", "[F] like 'O'Brien%'", "[F] like 'O'Brien%'"},
        {202, "\tx\t", "[F] like '\tx\t%'", "[F] like '\tx\t%'"},
        // Timestamps: no search criterion; a filter takes the text exactly as typed.
        {135, " #1/2/2020# ", "", "[F] =  #1/2/2020# "},
    };
    for (const auto &c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(searchCriterion(QStringLiteral("F"), c.type, typed), QString::fromUtf8(c.search))
            << c.typed;
        EXPECT_EQ(filterCondition(QStringLiteral("F"), c.type, typed), QString::fromUtf8(c.filter))
            << c.typed;
    }
    EXPECT_TRUE(isEmptyLike(filterCondition(QStringLiteral("F"), 202, QStringLiteral("   "))));
    EXPECT_FALSE(isEmptyLike(searchCriterion(QStringLiteral("F"), 135, QString())));
    EXPECT_EQ(
        joinFilter(QStringLiteral("  "), QStringLiteral("[F] = 5")), "[F] = 5"); // a blank filter is none
}

TEST(LookupTexts, NumbersAreWrittenWithTheLocaleDecimalSymbolButReadWithAFullStop)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(searchCriterion(QStringLiteral("Preis"), 5, QStringLiteral("12.5"), german), "[Preis] = 12,5");
    EXPECT_EQ(filterCondition(QStringLiteral("Preis"), 5, QStringLiteral("12,5"), german), "[Preis] = 12");
    EXPECT_EQ(errorNumber([] { numberText(QStringLiteral("1e999")); }), vq::Error::Overflow);
}

TEST(LookupTexts, ColumnWidthsStopAtTenCharactersAndAtWhatTwipsCanHold)
{
    EXPECT_EQ(columnWidthTwips(202, 9), 1000);
    EXPECT_EQ(columnWidthTwips(133, 6), 1000); // other dates and booleans go by their size
    EXPECT_EQ(columnWidthTwips(7, 100), 1500); // numbers and type-7 dates: fifteen whatever their size
    EXPECT_EQ(columnWidthTwips(202, 21474836), 2147483600);
    EXPECT_EQ(errorNumber([] { columnWidthTwips(202, 21474837); }), vq::Error::Overflow);
}
