#include "platform/DateText.h"
#include "platform/AutomationDate.h"
#include "platform/Error.h"
#include "platform/VariantText.h"

#include <gtest/gtest.h>

using namespace vq;

namespace {
const QLocale us(QLocale::English, QLocale::UnitedStates);
const QLocale de(QLocale::German, QLocale::Germany);
} // namespace

TEST(DateText, RecognisesDatesInTheLocaleOrder)
{
    EXPECT_EQ(textToDate(QStringLiteral("1/2/2020"), us)->date(), QDate(2020, 1, 2));
    EXPECT_EQ(textToDate(QStringLiteral("1/2/2020"), de)->date(), QDate(2020, 2, 1));
    EXPECT_EQ(textToDate(QStringLiteral("2.1.2020"), de)->date(), QDate(2020, 1, 2));
    EXPECT_EQ(textToDate(QStringLiteral(" 2020-01-31 "), de)->date(), QDate(2020, 1, 31));
    EXPECT_EQ(textToDate(QStringLiteral("1-2-29"), us)->date(), QDate(2029, 1, 2));
    EXPECT_EQ(textToDate(QStringLiteral("1-2-30"), us)->date(), QDate(1930, 1, 2));
    EXPECT_EQ(textToDate(QStringLiteral("Jan 2, 2020"), us)->date(), QDate(2020, 1, 2));
    EXPECT_EQ(textToDate(QStringLiteral("2 März 2020"), de)->date(), QDate(2020, 3, 2));
    EXPECT_EQ(textToDate(QStringLiteral("3/4"), us)->date(), QDate(QDate::currentDate().year(), 3, 4));

    const auto withTime = textToDate(QStringLiteral("1/2/2020 10:30:15 PM"), us);
    ASSERT_TRUE(withTime);
    EXPECT_EQ(withTime->time(), QTime(22, 30, 15));
    EXPECT_EQ(textToDate(QStringLiteral("2020-01-02T07:05"), us)->time(), QTime(7, 5));
    EXPECT_EQ(textToDate(QStringLiteral("12:00 AM"), us)->time(), QTime(0, 0));
    // A time alone stands on day zero of the automation date.
    EXPECT_EQ(textToDate(QStringLiteral("10:30"), us)->date(), QDate(1899, 12, 30));

    for (const char *bad :
        {"", "abc", "2/30/2020", "13/1/2020", "1/2/2020 25:00", "1/2/2020 13:00 PM", "12abc", "1/2/3/4", "5"})
        EXPECT_FALSE(isDate(QLatin1String(bad), us)) << bad;
    EXPECT_THROW(toDate(QStringLiteral("nope"), us), Error);
}

TEST(DateText, WritesTheShortDateWithTimeWhenNotMidnight)
{
    EXPECT_EQ(dateToText(QDateTime(QDate(2020, 1, 2), QTime(0, 0)), us), "1/2/2020");
    EXPECT_EQ(dateToText(QDateTime(QDate(2020, 1, 2), QTime(10, 30)), us), "1/2/2020 10:30:00 AM");
    EXPECT_EQ(dateToText(QDate(2020, 1, 2), de), "02.01.2020");
    EXPECT_EQ(dateToText(QDateTime(QDate(1899, 12, 30), QTime(15, 0)), us), "3:00:00 PM");
    // What is written reads back.
    const QDateTime t(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::UTC);
    EXPECT_EQ(*textToDate(dateToText(t, us), us), t);
    EXPECT_EQ(*textToDate(dateToText(t, de), de), t);
}

TEST(AutomationDateType, CountsDaysFromTheEndOf1899)
{
    EXPECT_EQ(AutomationDate(0).date(), QDate(1899, 12, 30));
    EXPECT_DOUBLE_EQ(AutomationDate::fromDate(QDate(2020, 1, 1)).value(), 43831);
    EXPECT_DOUBLE_EQ(AutomationDate::fromDateAndTime(QDate(1900, 1, 1), QTime(18, 0)).value(), 2.75);
    // Before day zero the fraction still counts forward from midnight.
    EXPECT_EQ(AutomationDate(-1.25).date(), QDate(1899, 12, 29));
    EXPECT_EQ(AutomationDate(-1.25).time(), QTime(6, 0));
    EXPECT_DOUBLE_EQ(AutomationDate::fromDateAndTime(QDate(1899, 12, 29), QTime(6, 0)).value(), -1.25);
    // Rounding to the millisecond may carry into the next day.
    EXPECT_EQ(AutomationDate(1.99999999999).toDateTime(), QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC));
    const QDateTime t(QDate(2031, 7, 9), QTime(13, 14, 15, 16), Qt::UTC);
    EXPECT_EQ(AutomationDate::fromDateTime(t).toDateTime(), t);
}

TEST(VariantText, ConvertsValuesAsForDisplay)
{
    EXPECT_EQ(variantToText(QVariant(42), us), "42");
    EXPECT_EQ(variantToText(QVariant(qlonglong(-9000000000)), us), "-9000000000");
    EXPECT_EQ(variantToText(QVariant(12.5), de), "12,5");
    EXPECT_EQ(variantToText(QVariant(0.1 + 0.2), us), "0.30000000000000004");
    EXPECT_EQ(variantToText(QVariant(true), us), "True");
    EXPECT_EQ(variantToText(QVariant(false), us), "False");
    EXPECT_EQ(variantToText(QVariant(QDate(2020, 3, 4)), us), "3/4/2020");
    EXPECT_EQ(
        variantToText(QVariant(QDateTime(QDate(2020, 3, 4), QTime(0, 0, 1))), us), "3/4/2020 12:00:01 AM");
    EXPECT_EQ(variantToText(QVariant(QStringLiteral("Zoë")), us), "Zoë");
    try {
        variantToText(QVariant(), us);
        FAIL() << "a null converted";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), 94);
        EXPECT_EQ(e.description(), "Invalid use of Null");
    }
}
