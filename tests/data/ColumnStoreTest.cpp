#include "data/ColumnStore.h"
#include "data/TextFold.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/Errors.h"

#include <cmath>
#include <string>

using namespace vq;
using Kind = ColumnStore::Kind;
using vq::test::errorNumber;

namespace {

// Row r of the test store: every seventh row null, the rest derived from r.
void appendRow(ColumnStore &s, int r)
{
    if (r % 7 == 3) {
        for (int c = 0; c < 4; ++c)
            s.appendNull(c);
        return;
    }
    s.appendInteger(0, r * 3);
    s.appendDouble(1, r + 0.25);
    s.appendText(2, std::string(size_t(r % 5), char('a' + r % 26)));
    // Written in place, in two pieces.
    const std::string head = "v" + std::to_string(r);
    char *out = s.textRoom(3, head.size());
    std::copy(head.begin(), head.end(), out);
    s.textWritten(3, out + head.size());
    out = s.textRoom(3, 1);
    *out = '!';
    s.textWritten(3, out + 1);
    s.commitText(3);
}

void expectRows(const ColumnStore &s, int rows)
{
    ASSERT_EQ(s.rowCount(), rows);
    for (int r = 0; r < rows; ++r) {
        const bool null = r % 7 == 3;
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(s.isNull(c, r), null) << "row " << r << " column " << c;
        if (null)
            continue;
        ASSERT_EQ(s.integerAt(0, r), r * 3);
        ASSERT_EQ(s.doubleAt(1, r), r + 0.25);
        ASSERT_EQ(s.textAt(2, r), std::string(size_t(r % 5), char('a' + r % 26)));
        ASSERT_EQ(s.textAt(3, r), "v" + std::to_string(r) + "!");
    }
}

} // namespace

TEST(ColumnStore, GrowsTruncatesAndSqueezesWithoutLosingOrInventingValues)
{
    ColumnStore s;
    s.reset({Kind::Integer, Kind::Double, Kind::Text, Kind::Text});
    s.reserveRows(10);
    EXPECT_EQ(s.rowCount(), 0);
    for (int r = 0; r < 5000; ++r)
        appendRow(s, r);
    expectRows(s, 5000);

    // Cut inside a null-bitmap word and at a word boundary; the rows appended next must not inherit the
    // null bits or text bytes of the rows that were dropped.
    for (const int keep : {4321, 4288, 0}) {
        s.truncateRows(keep);
        expectRows(s, keep);
        for (int r = keep; r < keep + 200; ++r)
            appendRow(s, r);
        expectRows(s, keep + 200);
    }

    const size_t before = s.memoryBytes();
    s.squeeze();
    EXPECT_LT(s.memoryBytes(), before);
    expectRows(s, 200);
    s.clearRows();
    EXPECT_EQ(s.rowCount(), 0);
    appendRow(s, 0);
    expectRows(s, 1);
}

TEST(ColumnStore, ARowLeftIncompleteIsDroppedWhole)
{
    ColumnStore s;
    s.reset({Kind::Integer, Kind::Double, Kind::Text, Kind::Text});
    for (int r = 0; r < 70; ++r)
        appendRow(s, r);
    // A failure part way through row 70: two columns appended, a text value written in part.
    s.appendInteger(0, 1);
    s.appendDouble(1, 2);
    char *out = s.textRoom(3, 4);
    std::fill(out, out + 4, 'x');
    s.textWritten(3, out + 4);
    EXPECT_EQ(s.rowCount(), 70);
    s.truncateRows(s.rowCount());
    for (int r = 70; r < 75; ++r)
        appendRow(s, r);
    expectRows(s, 75);

    // A null in place of a value written in part leaves none of its bytes behind.
    out = s.textRoom(3, 3);
    std::fill(out, out + 3, 'y');
    s.textWritten(3, out + 3);
    s.appendNull(3);
    s.appendText(3, "z");
    EXPECT_TRUE(s.isNull(3, 75));
    EXPECT_EQ(s.textAt(3, 76), "z");
}

TEST(ColumnStore, ConvertsAColumnThatAValueDoesNotFit)
{
    ColumnStore s;
    s.reset({Kind::Integer, Kind::Integer, Kind::DateTime});
    for (int r = 0; r < 100; ++r) {
        s.appendInteger(0, r);
        r == 50 ? s.appendNull(1) : s.appendInteger(1, -r);
        s.appendInteger(2, ColumnStore::stamp(ColumnStore::julianDay(2024, 2, 29), r == 1 ? 3723000 : 0));
    }
    s.convert(0, Kind::Double);
    s.appendDouble(0, 0.5);
    EXPECT_EQ(s.kind(0), Kind::Double);
    EXPECT_EQ(s.doubleAt(0, 99), 99.0);
    EXPECT_EQ(s.doubleAt(0, 100), 0.5);

    s.convert(1, Kind::Text);
    s.appendText(1, "text");
    EXPECT_EQ(s.textAt(1, 7), "-7");
    EXPECT_TRUE(s.isNull(1, 50));
    EXPECT_EQ(s.textAt(1, 100), "text");

    s.convert(2, Kind::Text);
    EXPECT_EQ(s.textAt(2, 0), "2024-02-29");
    EXPECT_EQ(s.textAt(2, 1), "2024-02-29 01:02:03");
}

TEST(ColumnStore, JulianDaysAndUtf8AgreeWithQt)
{
    for (const QDate d : {QDate(1, 1, 1), QDate(1582, 10, 15), QDate(1899, 12, 30), QDate(2000, 2, 29),
             QDate(2100, 3, 1), QDate(9999, 12, 31)})
        EXPECT_EQ(ColumnStore::julianDay(d.year(), d.month(), d.day()), d.toJulianDay())
            << d.toString().toStdString();

    const QString text = QStringLiteral("plain Ångström ✓ \U0001F600 end");
    std::u16string utf16 = text.toStdU16String();
    utf16.push_back(char16_t(0xD800)); // an unpaired surrogate
    std::string out(utf16.size() * MaxUtf8BytesPerUtf16Unit, '\0');
    out.resize(size_t(writeUtf16AsUtf8(utf16.data(), utf16.size(), out.data()) - out.data()));
    EXPECT_EQ(QString::fromStdString(out), text + QChar(0xFFFD));
}

TEST(ColumnStore, TextPastFourGigabytesInAColumnIsOutOfMemoryNotARefusedArgument)
{
    EXPECT_EQ(ColumnStore::checkedOffset(0xffffffffu), 0xffffffffu);
    // 3001 would be passed over in silence by callers that treat it as a refused filter.
    EXPECT_EQ(errorNumber([] { ColumnStore::checkedOffset(size_t(0xffffffffu) + 1); }), 7);
}

// Columns past a megabyte live in blocks of their own that grow by moving pages; a column that shrinks
// below that goes back to the allocator. Neither way may lose or garble a value.
TEST(ColumnStore, ColumnsKeepTheirValuesAsTheyGrowPastAMegabyteAndShrinkBelowIt)
{
    ColumnStore s;
    s.reset({Kind::Integer, Kind::Text});
    auto text = [](int r) { return "row " + std::to_string(qint64(r) * 7919); };
    auto append = [&](int from, int to) {
        for (int r = from; r < to; ++r) {
            s.appendInteger(0, qint64(r) * 1000003);
            s.appendText(1, text(r));
        }
    };
    auto expectValues = [&](int rows) {
        ASSERT_EQ(s.rowCount(), rows);
        for (int r = 0; r < rows; ++r) {
            ASSERT_EQ(s.integerAt(0, r), qint64(r) * 1000003) << r;
            ASSERT_EQ(s.textAt(1, r), text(r)) << r;
        }
    };
    append(0, 400000); // 3.2 MB of integers, 4 MB of text
    expectValues(400000);
    s.truncateRows(20000);
    s.squeeze();
    expectValues(20000);
    s.truncateRows(1000);
    s.squeeze(); // below a megabyte again
    expectValues(1000);
    append(1000, 300000);
    expectValues(300000);
}

TEST(ColumnStore, IsoDatesReadAsTheCalendarHasThem)
{
    // Every day of two years around a leap day and a century: the stamp of its Julian day.
    for (QDate d(1999, 12, 1); d <= QDate(2001, 3, 31); d = d.addDays(1)) {
        const std::string text = d.toString(Qt::ISODate).toStdString();
        qint64 stamp = -1;
        ASSERT_TRUE(ColumnStore::parseIsoStamp(text, &stamp)) << text;
        EXPECT_EQ(stamp, d.toJulianDay() * ColumnStore::MsecsPerDay) << text;
    }
    // The days around the ends of years and leap days, inside and outside the years read from a table.
    for (const int year : {1, 1600, 1799, 1800, 1801, 1900, 2000, 2199, 2200, 9999}) {
        for (QDate d(year, 1, 1); d <= QDate(year, 3, 2);
             d = d.addDays(d.month() == 1 && d.day() > 2 ? 26 : 1)) {
            const std::string text = d.toString(Qt::ISODate).toStdString();
            qint64 stamp = -1;
            ASSERT_TRUE(ColumnStore::parseIsoStamp(text, &stamp)) << text;
            EXPECT_EQ(stamp, d.toJulianDay() * ColumnStore::MsecsPerDay) << text;
        }
    }
    // One character of a plain date changed: a date only where the form allows that character and the
    // calendar has the day.
    const std::string plain = "2023-06-15";
    for (size_t at = 0; at < plain.size(); ++at) {
        for (const char c : {'/', ':', ' ', 'a', '\xb5', '\0', '-', '0', '7', '9'}) {
            std::string text = plain;
            text[at] = c;
            const bool allowed = at == 4 || at == 7 ? c == '-' : c >= '0' && c <= '9';
            qint64 stamp = -1;
            EXPECT_EQ(ColumnStore::parseIsoStamp(text, &stamp),
                allowed && QDate::fromString(QString::fromStdString(text), Qt::ISODate).isValid())
                << text;
        }
    }
    const struct
    {
        const char *text;
        bool read;
        qint64 msecs; // the time of day, when read
    } cases[] = {{"2024-02-29", true, 0}, {"0000-02-29", true, 0}, {"0000-01-31", true, 0},
        {"1900-02-29", false, 0}, {"2023-02-29", false, 0}, {"2023-04-31", false, 0},
        {"2023-13-01", false, 0}, {"2023-00-10", false, 0}, {"2023-01-00", false, 0},
        {"2023-1a-01", false, 0}, {"2023/01/01", false, 0}, {"2023-01-01 ", false, 0},
        {"2023-01-01T10:20:30", true, 37230000}, {"2023-01-01 10:20Z", true, 37200000},
        {"+023-01-01", false, 0}, {"2023-01-0:", false, 0}};
    for (const auto &c : cases) {
        qint64 stamp = -1;
        EXPECT_EQ(ColumnStore::parseIsoStamp(c.text, &stamp), c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(stamp % ColumnStore::MsecsPerDay, c.msecs) << c.text;
        }
    }
}

// Integers, decimal slots and stamps of whole days take 32 bits a cell until a value needs more; then every
// value moves to 64 bits unchanged, nulls and all, and later ones append there.
TEST(ColumnStore, KeepsValuesIn32BitsUntilOneNeedsMore)
{
    const qint64 y2k = ColumnStore::stamp(2451545, 0);
    const struct
    {
        Kind kind;
        qint64 fits; // the values before and after: this, its negative, null, and the bounds of 32 bits
        qint64 widens;
    } cases[] = {{Kind::Integer, 7, qint64(1) << 31}, {Kind::Integer, 7, -(qint64(1) << 31) - 1},
        {Kind::DateTime, y2k, y2k + 1}, {Kind::DateTime, y2k, (qint64(1) << 31) * ColumnStore::MsecsPerDay}};
    for (const auto &c : cases) {
        const qint64 step = c.kind == Kind::DateTime ? ColumnStore::MsecsPerDay : 1;
        const std::vector<qint64> fitting = {c.fits, -c.fits, 0, 2147483647 * step, -2147483648 * step};
        ColumnStore s;
        s.reset({c.kind});
        std::vector<std::optional<qint64>> want;
        const auto append = [&](std::optional<qint64> v) {
            v ? s.appendInteger(0, *v) : s.appendNull(0);
            want.push_back(v);
        };
        for (int round = 0; round < 200; ++round) {
            for (const qint64 v : fitting)
                append(v);
            append(std::nullopt);
        }
        s.squeeze();
        EXPECT_LT(s.memoryBytes(), want.size() * 5) << c.widens;
        append(c.widens);
        for (const qint64 v : fitting)
            append(v);
        s.squeeze();
        EXPECT_GE(s.memoryBytes(), want.size() * 8) << c.widens;
        ASSERT_EQ(s.rowCount(), qsizetype(want.size()));
        for (qsizetype r = 0; r < s.rowCount(); ++r) {
            ASSERT_EQ(s.isNull(0, r), !want[size_t(r)]) << r;
            if (want[size_t(r)]) {
                ASSERT_EQ(s.integerAt(0, r), *want[size_t(r)]) << c.widens << " row " << r;
            }
        }
    }
}

// Narrow decimals share their slot with nothing, wide ones live beside the column; both read back, compare
// and survive truncation and conversion as the values they are.
TEST(ColumnStore, KeepsDecimalsNarrowAndWideExactly)
{
    const char *const texts[] = {"12.50", "-0.0000000000000000000000000001", "144115188075855871", // 2^57 - 1
        "144115188075855872", "-144115188075855872", "79228162514264337593543950335", "0", "-7.25",
        "1234567890123456789012345678", "12.5000000000000000000000001", "-7.2", "-7.3",
        "14411518807.5855871"};
    ColumnStore s;
    s.reset({Kind::Decimal});
    for (int round = 0; round < 3; ++round) {
        for (const char *t : texts)
            ASSERT_TRUE(s.appendNumberText(0, t)) << t;
        s.appendNull(0);
    }
    const qsizetype n = qsizetype(std::size(texts)) + 1;
    ASSERT_EQ(s.rowCount(), 3 * n);
    for (qsizetype r = 0; r < s.rowCount(); ++r) {
        if (r % n == n - 1) {
            ASSERT_TRUE(s.isNull(0, r));
            continue;
        }
        const AutomationDecimal want = *AutomationDecimal::fromText(texts[r % n]);
        ASSERT_EQ(s.decimalAt(0, r), want) << texts[r % n];
        ASSERT_EQ(s.decimalAt(0, r).toInvariantText(), want.toInvariantText());
        ASSERT_EQ(s.compareDecimal(0, r, ColumnStore::decimalOperand(want)), 0) << texts[r % n];
        for (qsizetype o = 0; o < n - 1; ++o) {
            const AutomationDecimal other = *AutomationDecimal::fromText(texts[o]);
            ASSERT_EQ(s.compareDecimals(0, r, o), AutomationDecimal::compare(want, other))
                << texts[r % n] << " vs " << texts[o];
            ASSERT_EQ(s.compareDecimal(0, r, ColumnStore::decimalOperand(other)),
                AutomationDecimal::compare(want, other))
                << texts[r % n] << " vs operand " << texts[o];
        }
    }
    // Truncated into the second round, then grown again: the wide values line up with their rows.
    s.truncateRows(n + 4);
    for (const char *t : {"-144115188075855872", "1.5"})
        ASSERT_TRUE(s.appendNumberText(0, t));
    EXPECT_EQ(s.decimalAt(0, n + 3).toInvariantText(), "144115188075855872");
    EXPECT_EQ(s.decimalAt(0, n + 4).toInvariantText(), "-144115188075855872");
    EXPECT_EQ(s.decimalAt(0, n + 5).toInvariantText(), "1.5");
    EXPECT_FALSE(s.appendNumberText(0, "12,5"));

    // A value no decimal holds makes doubles of the column; as text every digit stays.
    ColumnStore t;
    t.reset({Kind::Decimal, Kind::Decimal});
    for (const char *v : {"79228162514264337593543950335", "-0.5"}) {
        t.appendNumberText(0, v);
        t.appendNumberText(1, v);
    }
    ASSERT_TRUE(t.appendNumberText(0, "NaN"));
    EXPECT_EQ(t.kind(0), Kind::Double);
    EXPECT_EQ(t.doubleAt(0, 0), 79228162514264337593543950335.0);
    EXPECT_EQ(t.doubleAt(0, 1), -0.5);
    EXPECT_TRUE(std::isnan(t.doubleAt(0, 2)));
    t.convert(1, Kind::Text);
    EXPECT_EQ(t.textAt(1, 0), "79228162514264337593543950335");
    EXPECT_EQ(t.textAt(1, 1), "-0.5");
}
