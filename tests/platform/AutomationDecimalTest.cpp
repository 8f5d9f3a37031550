#include "platform/AutomationDecimal.h"
#include "platform/VariantText.h"

#include "support/DecimalOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

using vq::AutomationDecimal;
using Rounding = AutomationDecimal::Rounding;

namespace {

std::string text(const std::optional<AutomationDecimal> &d)
{
    return d ? d->toInvariantText() : "(none)";
}

} // namespace

TEST(AutomationDecimal, ReadsTheInvariantFormRoundingBeyondTwentyEightPlaces)
{
    struct Case
    {
        const char *in;
        const char *rounded; // halves away from zero; "(none)" refused
        const char *cut; // toward zero
        bool exact;
    };
    const Case cases[] = {
        {"0", "0", "0", true},
        {"-0.000", "0", "0", true},
        {"12.50", "12.5", "12.5", true},
        {"+7", "7", "7", true},
        {"-.5", "-0.5", "-0.5", true},
        {"5.", "5", "5", true},
        {"1.5E-3", "0.0015", "0.0015", true},
        {"2e+4", "20000", "20000", true},
        {"0012.3400", "12.34", "12.34", true},
        {"9007199254740993", "9007199254740993", "9007199254740993", true},
        {"1234567890123456789012345678", "1234567890123456789012345678", "1234567890123456789012345678",
            true},
        // The largest magnitude, and the smallest step.
        {"79228162514264337593543950335", "79228162514264337593543950335", "79228162514264337593543950335",
            true},
        {"-0.0000000000000000000000000001", "-0.0000000000000000000000000001",
            "-0.0000000000000000000000000001", true},
        // Trailing zeros beyond what fits lose nothing.
        {"1.000000000000000000000000000000000", "1", "1", true},
        // Beyond 28 places: rounded there, or cut off.
        {"0.00000000000000000000000000005", "0.0000000000000000000000000001", "0", false},
        {"-0.00000000000000000000000000004", "0", "0", false},
        {"0.12345678901234567890123456785", "0.1234567890123456789012345679",
            "0.1234567890123456789012345678", false},
        {"1.23456789012345678901234567890123", "1.2345678901234567890123456789",
            "1.2345678901234567890123456789", false},
        // Beyond 29 digits or 2^96: rounded at the last place that fits.
        {"9.99999999999999999999999999995", "10", "9.999999999999999999999999999", false},
        {"7922816251426433759354395033.9", "7922816251426433759354395034", "7922816251426433759354395033.5",
            false},
        {"1e-40", "0", "0", false},
        // Beyond the type: refused when rounding, the largest value of the sign when cut off.
        {"79228162514264337593543950336", "(none)", "79228162514264337593543950335", false},
        {"-1E+29", "(none)", "-79228162514264337593543950335", false},
        {"1e999999999", "(none)", "79228162514264337593543950335", false},
    };
    for (const Case &c : cases) {
        bool exact = !c.exact;
        EXPECT_EQ(text(AutomationDecimal::fromText(c.in)), c.rounded) << c.in;
        EXPECT_EQ(text(AutomationDecimal::fromText(c.in, Rounding::TowardZero, &exact)), c.cut) << c.in;
        EXPECT_EQ(exact, c.exact) << c.in;
    }
    for (const char *bad : {"", "-", ".", "+.", "1e", "1e+", "1.2.3", " 1", "1 ", "1,5", "0x10", "nan", "inf",
             "--1", "1-", "e5", "١٢"}) {
        EXPECT_FALSE(AutomationDecimal::fromText(bad)) << bad;
        EXPECT_FALSE(AutomationDecimal::fromText(bad, Rounding::TowardZero)) << bad;
    }
}

// Random values against string arithmetic: the text reads back, compare and the order key agree with the
// oracle, and the scale a value was written with does not change its value.
TEST(AutomationDecimal, ComparesAndKeysInTheOrderOfStringArithmetic)
{
    std::mt19937_64 rng(28);
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(vq::test::randomDecimalText(rng));
    // Close neighbours: the same digits with another scale, one step apart, 17-digit ties of the key.
    for (const char *t : {"1.5", "1.50", "1.500000000000000000000000000", "-1.5", "0", "-0",
             "12345678901234567", "12345678901234567.000000000001", "12345678901234567.1",
             "12345678901234566.99999999999", "0.0000000000000000000000000001",
             "0.0000000000000000000000000002", "79228162514264337593543950335",
             "79228162514264337593543950334", "-79228162514264337593543950335"})
        texts.push_back(t);
    std::vector<AutomationDecimal> values;
    for (const std::string &t : texts) {
        const auto d = AutomationDecimal::fromText(t);
        ASSERT_TRUE(d) << t;
        ASSERT_EQ(d->toInvariantText(), vq::test::plainDecimalText(t)) << t;
        values.push_back(*d);
    }
    int failures = 0;
    for (size_t i = 0; i < values.size() && failures < 5; ++i) {
        for (size_t j = i % 7; j < values.size() && failures < 5; j += 7) {
            const int want = vq::test::compareDecimalTexts(texts[i], texts[j]);
            const int got = AutomationDecimal::compare(values[i], values[j]);
            const quint64 ki = values[i].orderKey(), kj = values[j].orderKey();
            const bool keyOk = want < 0 ? ki <= kj : (want > 0 ? ki >= kj : ki == kj);
            if (got != want || !keyOk) {
                ++failures;
                ADD_FAILURE() << texts[i] << " vs " << texts[j] << ": compare " << got << ", oracle " << want
                              << ", keys " << ki << " " << kj;
            }
        }
    }
    EXPECT_NE(AutomationDecimal().orderKey(), 0u);
}

TEST(AutomationDecimal, DoublesComeInByTheirShortestDigitsAndGoBackUnchanged)
{
    const std::pair<double, const char *> table[] = {{0.1, "0.1"}, {-2.5, "-2.5"},
        {0.1 + 0.2, "0.30000000000000004"}, {9007199254740993.0, "9007199254740992"},
        {1e20, "100000000000000000000"}, {1e-28, "0.0000000000000000000000000001"}, {-0.0, "0"},
        {123456.789, "123456.789"}, {3312397525930999808.0, "3312397525931000000"}};
    for (const auto &[value, want] : table) {
        const auto d = AutomationDecimal::fromDouble(value);
        ASSERT_TRUE(d) << want;
        EXPECT_EQ(d->toInvariantText(), want);
        EXPECT_EQ(d->toDouble(), value) << want;
    }
    // What the digits cannot hold is refused rather than changed.
    for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL, 79228162514264337593543950336.0, 1e-29, 5e-324})
        EXPECT_FALSE(AutomationDecimal::fromDouble(v)) << v;
    // Random doubles of every size the type holds: the nearest double back, from wide mantissas too.
    std::mt19937_64 rng(53);
    for (int i = 0; i < 2000; ++i) {
        const double v = std::ldexp(double(rng() >> 11), int(rng() % 130) - 100) * ((rng() & 1) ? -1 : 1);
        const auto d = AutomationDecimal::fromDouble(v);
        if (!d)
            continue;
        ASSERT_EQ(d->toDouble(), v) << d->toInvariantText();
    }
    // Amounts of a few places, as tables store them, and the doubles just beside them (which those few
    // places do not give back), by the same shortest digits that std::to_chars finds.
    for (int i = 0; i < 20000; ++i) {
        const int places = int(rng() % 7);
        const double amount = double(qint64(rng() % 100000000000) - 50000000000) / std::pow(10.0, places);
        for (const double v : {amount, std::nextafter(amount, HUGE_VAL), std::nextafter(amount, -HUGE_VAL)}) {
            char buffer[64];
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
            const auto d = AutomationDecimal::fromDouble(v);
            if (!d) {
                ASSERT_GT(r.ptr - std::find(buffer, r.ptr, '.'), 29) << v; // more places than a decimal has
                continue;
            }
            ASSERT_EQ(d->toInvariantText(), std::string(buffer, r.ptr));
        }
    }
    // toDouble of a value with more digits than a double holds is the nearest double.
    EXPECT_EQ(AutomationDecimal::fromText("1.2345678901234567890123456789")->toDouble(),
        1.2345678901234567890123456789);
    EXPECT_EQ(AutomationDecimal::fromText("79228162514264337593543950335")->toDouble(),
        79228162514264337593543950335.0);
}

TEST(AutomationDecimal, ConvertsInAVariantAndShowsWithTheLocaleDecimalSymbol)
{
    const AutomationDecimal d = *AutomationDecimal::fromText("-1234567890123456789.125");
    EXPECT_EQ(d.toText(QLocale(QLocale::German, QLocale::Germany)), "-1234567890123456789,125");
    const QVariant v = QVariant::fromValue(d);
    EXPECT_EQ(
        vq::variantToText(v, QLocale(QLocale::English, QLocale::UnitedStates)), "-1234567890123456789.125");
    EXPECT_EQ(v.toString(), "-1234567890123456789.125");
    EXPECT_EQ(v.toDouble(), -1234567890123456789.125);
    EXPECT_EQ(v.toLongLong(), -1234567890123456789);
    EXPECT_EQ(v, QVariant::fromValue(*AutomationDecimal::fromText("-1234567890123456789.1250")));
    // Whole numbers: halves away from zero, clamped to 64 bits.
    const std::pair<const char *, qint64> whole[] = {{"2.5", 3}, {"-2.5", -3}, {"2.4999", 2}, {"0.5", 1},
        {"1e20", std::numeric_limits<qint64>::max()}, {"-1e20", std::numeric_limits<qint64>::min()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()}};
    for (const auto &[t, want] : whole)
        EXPECT_EQ(AutomationDecimal::fromText(t)->toLongLong(), want) << t;
    EXPECT_EQ(AutomationDecimal::fromInteger(std::numeric_limits<qint64>::min()).toInvariantText(),
        "-9223372036854775808");
    EXPECT_FALSE(AutomationDecimal::fromParts(0, 1, 29, false));
}
