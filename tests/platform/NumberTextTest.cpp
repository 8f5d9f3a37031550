#include "platform/NumberText.h"
#include "platform/FormatPicture.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QLocale us(QLocale::English, QLocale::UnitedStates);
const QLocale german(QLocale::German, QLocale::Germany);

} // namespace

TEST(NumberToText, ShortestFormWithTheLocaleDecimalSymbol)
{
    EXPECT_EQ(vq::numberToText(1234.5, us), "1234.5");
    EXPECT_EQ(vq::numberToText(-3, us), "-3");
    EXPECT_EQ(vq::numberToText(0.1, us), "0.1");
    EXPECT_EQ(vq::numberToText(0.1 + 0.2, us), "0.30000000000000004");
    EXPECT_EQ(vq::numberToText(123456789012345.0, us), "123456789012345");
    EXPECT_EQ(vq::numberToText(1e20, us), "1E+20");
    EXPECT_EQ(vq::numberToText(-1.5e-7, us), "-1.5E-07");
    EXPECT_EQ(vq::numberToText(1234.5, german), "1234,5");
    EXPECT_EQ(vq::numberToText(-2.5e300, german), "-2,5E+300");
    // Whatever it writes reads back exactly, under the locale and through val().
    for (double x : {1234.5, -0.001, 1.0 / 3, 6.02214076e23, 5e-324}) {
        double back = 0;
        EXPECT_TRUE(vq::readsAsNumber(vq::numberToText(x, german), german, &back)) << x;
        EXPECT_EQ(back, x);
        EXPECT_EQ(vq::val(vq::numberToText(x, us)), x);
    }
}

// The results the text box relies on, exactly, for texts and for doubles.
TEST(FormatPicture, TextBoxPicturesUnderEnglishUnitedStates)
{
    const QStringList values = {"0", "0.5", "1234.5", "-1234.5", "1234567"};
    const QList<std::pair<QString, QStringList>> table = {
        {"0", {"0", "1", "1235", "-1235", "1234567"}},
        {"0.00", {"0.00", "0.50", "1234.50", "-1234.50", "1234567.00"}},
        {"#,###.00", {".00", ".50", "1,234.50", "-1,234.50", "1,234,567.00"}},
        {"#,###", {"", "1", "1,235", "-1,235", "1,234,567"}},
    };
    for (const auto &[picture, expected] : table) {
        for (qsizetype i = 0; i < values.size(); ++i) {
            SCOPED_TRACE(qPrintable(picture + " on " + values[i]));
            EXPECT_EQ(vq::formatNumberText(values[i], picture, us), expected[i]);
            EXPECT_EQ(vq::formatNumber(values[i].toDouble(), picture, us), expected[i]);
        }
    }
}

TEST(FormatPicture, RoundsTheDecimalDigitsHalvesAwayFromZero)
{
    EXPECT_EQ(vq::formatNumberText("1.005", "0.00", us), "1.01"); // 1.00499999... as a double
    EXPECT_EQ(vq::formatNumber(1.005, "0.00", us), "1.01");
    EXPECT_EQ(vq::formatNumberText("-2.5", "0", us), "-3");
    EXPECT_EQ(vq::formatNumberText("2.4999", "0", us), "2");
    EXPECT_EQ(vq::formatNumberText("999.995", "#,###.00", us), "1,000.00");
    EXPECT_EQ(vq::formatNumberText("9.96", "0.0", us), "10.0");
    EXPECT_EQ(vq::formatNumberText("0.05", "#.#", us), ".1");
    // Digits a double cannot hold survive.
    EXPECT_EQ(vq::formatNumberText("12345678901234567890.125", "0.00", us), "12345678901234567890.13");
    EXPECT_EQ(vq::formatNumberText("1.5e3", "#,###", us), "1,500");
    EXPECT_EQ(vq::formatNumberText("1e-400", "0.00", us), "0.00");
}

TEST(FormatPicture, NegativeThatShowsAsZeroLosesItsSign)
{
    EXPECT_EQ(vq::formatNumberText("-0.4", "0", us), "0");
    EXPECT_EQ(vq::formatNumberText("-0.004", "0.00", us), "0.00");
    EXPECT_EQ(vq::formatNumberText("-0.4", "#,###", us), "");
    EXPECT_EQ(vq::formatNumberText("-0", "0.00", us), "0.00");
    EXPECT_EQ(vq::formatNumber(-0.0, "0", us), "0");
    EXPECT_EQ(vq::formatNumberText("-0.5", "0", us), "-1");
}

TEST(FormatPicture, PlaceholdersLiteralsAndScaling)
{
    EXPECT_EQ(vq::formatNumberText("7", "000", us), "007");
    EXPECT_EQ(vq::formatNumberText("1.5", "0.0##", us), "1.5");
    EXPECT_EQ(vq::formatNumberText("1.25", "0.0##", us), "1.25");
    EXPECT_EQ(vq::formatNumberText("5", "#.##", us), "5.");
    EXPECT_EQ(vq::formatNumberText("1234.5", ".00", us), "1234.50");
    EXPECT_EQ(vq::formatNumberText("5551234", "(###) ###-####", us), "() 555-1234");
    EXPECT_EQ(vq::formatNumberText("1234567", "$#,##0", us), "$1,234,567");
    EXPECT_EQ(vq::formatNumberText("-1234", "$#,##0", us), "-$1,234");
    EXPECT_EQ(vq::formatNumberText("12", "0\\#", us), "12#");
    EXPECT_EQ(vq::formatNumberText("12", "0 \"units of 0\"", us), "12 units of 0");
    EXPECT_EQ(vq::formatNumberText("0.256", "0.0%", us), "25.6%");
    EXPECT_EQ(vq::formatNumberText("1234567", "#,##0,", us), "1,235");
    EXPECT_EQ(vq::formatNumberText("1234567", "0,,.0", us), "1.2");
    EXPECT_EQ(vq::formatNumberText("0", "0,000", us), "0,000");
    EXPECT_EQ(vq::formatNumberText("12", "#,###,###", us), "12");
}

TEST(FormatPicture, ScientificForm)
{
    EXPECT_EQ(vq::formatNumberText("1234.5", "0.00E+00", us), "1.23E+03");
    EXPECT_EQ(vq::formatNumberText("0.00012", "0.0e-0", us), "1.2e-4");
    EXPECT_EQ(vq::formatNumberText("9.99", "0.0E+0", us), "1.0E+1");
    EXPECT_EQ(vq::formatNumberText("0", "0.0E+00", us), "0.0E+00");
    EXPECT_EQ(vq::formatNumberText("-5", "0E-0", us), "-5E0");
}

TEST(FormatPicture, SectionsForNegativeAndZero)
{
    const vq::FormatPicture picture(QStringLiteral("#,##0.00;(#,##0.00);\"nil\""));
    auto apply = [&](double x) { return picture.apply(vq::Decimal::fromDouble(x), us); };
    EXPECT_EQ(apply(1234.5), "1,234.50");
    EXPECT_EQ(apply(-1234.5), "(1,234.50)");
    EXPECT_EQ(apply(0), "nil");
    EXPECT_EQ(apply(-0.001), "nil");
    EXPECT_EQ(vq::formatNumberText("-3", "0;;z", us), "-3"); // empty negative section: the first, signed
    EXPECT_EQ(vq::formatNumberText("-0.001", "0.00;(0)", us), "0.00");
    EXPECT_EQ(vq::formatNumberText("1;2", "0\\;0", us), "1;2"); // does not read: unchanged
    EXPECT_EQ(vq::formatNumberText("12", "0\\;0", us), "1;2");
    EXPECT_EQ(vq::formatNumberText("1234.5", "", us), "1234.5");
}

TEST(FormatPicture, GermanSeparators)
{
    EXPECT_EQ(vq::formatNumberText("1.234,5", "#,###.00", german), "1.234,50");
    EXPECT_EQ(vq::formatNumberText("-1234,5", "0", german), "-1235");
    EXPECT_EQ(vq::formatNumber(1234567, "#,###", german), "1.234.567");
    EXPECT_EQ(vq::formatNumberText("1234.5", "0.00", german), "1234.5"); // not a German number
}

TEST(FormatNumberText, TextThatDoesNotReadComesBackUnchanged)
{
    for (const QString text : {"", "abc", " 12abc", "1.2.3", "1,23", "--5", "5-", "Infinity", "1e999"})
        EXPECT_EQ(vq::formatNumberText(text, "0.00", us), text) << qPrintable(text);
    EXPECT_EQ(vq::formatNumberText("  +001234  ", "0", us), "1234");
}

TEST(ReadsAsNumber, StrictReadingUnderTheLocale)
{
    double value = 0;
    const QList<std::pair<QString, double>> good = {
        {"  12  ", 12},
        {"-1,234.5", -1234.5},
        {"+.5", 0.5},
        {"5.", 5},
        {"1.5e3", 1500},
        {"2E-2", 0.02},
        {"\t7\n", 7},
        {"1,234,567", 1234567},
        {"123,456", 123456},
        {"0001", 1},
        {"1e-400", 0},
        {"٣", 3},
    };
    for (const auto &[text, expected] : good) {
        EXPECT_TRUE(vq::readsAsNumber(text, us, &value)) << qPrintable(text);
        EXPECT_EQ(value, expected) << qPrintable(text);
    }
    for (const QString text : {"", " ", "abc", "1.2.3", "12abc", ".", "-", "1e", "1e+", "- 5", "5-", "(5)",
             "1,23", ",123", "1,2345", "1234,567", "1,,234", "1 234", "1e999", "$5"})
        EXPECT_FALSE(vq::readsAsNumber(text, us)) << qPrintable(text);

    EXPECT_TRUE(vq::readsAsNumber("1.234,5", german, &value));
    EXPECT_EQ(value, 1234.5);
    EXPECT_FALSE(vq::readsAsNumber("1.5", german));
    EXPECT_FALSE(vq::readsAsNumber("1,234.5", german));

    const QLocale french(QLocale::French, QLocale::France);
    EXPECT_TRUE(vq::readsAsNumber("1 234,5", french, &value));
    EXPECT_EQ(value, 1234.5);
    EXPECT_TRUE(vq::readsAsNumber(QStringLiteral("1") + french.groupSeparator() + "234", french, &value));
    EXPECT_EQ(value, 1234);
}

TEST(Val, LenientLeadingNumber)
{
    const QList<std::pair<QString, double>> cases = {
        {"  12 34abc", 1234},
        {"&HFF", 255},
        {"&hff", 255},
        {"&HFFFF", 65535},
        {"&O17", 15},
        {"&o 1 7 9", 15},
        {"1e3", 1000},
        {"1D3", 1000},
        {"-.5", -0.5},
        {"abc", 0},
        {"", 0},
        {"1,234", 1},
        {"3.14.15", 3.14},
        {"2e", 2},
        {"2e-x", 2},
        {"--5", 0},
        {"+ 7", 7},
        {" - 1 . 5 e 1", -15},
        {"&", 0},
        {"&X1", 0},
        {"1e-400", 0},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(vq::val(text), expected) << qPrintable(text);
    // Always the full stop, whatever the locale says.
    QLocale::setDefault(german);
    EXPECT_EQ(vq::val("1,5"), 1);
    EXPECT_EQ(vq::val("1.5"), 1.5);
    QLocale::setDefault(us);
}

TEST(Val, OverflowIsAnError)
{
    try {
        vq::val("1e400");
        FAIL() << "no error";
    } catch (const vq::Error &e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_THROW(vq::formatNumber(std::numeric_limits<double>::quiet_NaN(), "0", us), vq::Error);
}
