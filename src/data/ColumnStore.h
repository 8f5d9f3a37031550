#pragma once

#include "data/PodBuffer.h"
#include "platform/AutomationDecimal.h"

#include <QDate>
#include <QTime>
#include <QtGlobal>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vq {

// Fetched values held column by column: each column one contiguous typed array, texts in one byte arena
// (UTF-8) with 32-bit offsets, nulls in a bitmap. A cell costs its value's bytes plus at most eight bytes.
// Integers, decimals and stamps take 32 bits a cell while every value of their column fits (ids, amounts,
// dates without a time), 64 from the first that does not.
// Values become QVariant or QString only when the record set reads them.
class ColumnStore
{
public:
    enum class Kind : quint8 {
        Integer, // qint64
        Double, // double
        DateTime, // qint64: Julian day * 86400000 + milliseconds of the day
        Text, // UTF-8 bytes in the arena
        Bytes, // raw bytes in the arena
        Decimal, // qint64: a decimal packed into the slot, or the index of a wide one (see appendDecimal)
    };

    static constexpr qint64 MsecsPerDay = 86400000;
    static qint64 stamp(qint64 julianDay, qint64 msecs) { return julianDay * MsecsPerDay + msecs; }
    // The Julian day of a date of the Gregorian calendar from year 1 on, by arithmetic (Fliegel and Van
    // Flandern): cheaper than a QDate per value. Valid dates only.
    static constexpr qint64 julianDay(int year, int month, int day)
    {
        // In unsigned arithmetic (years from 4800 BC on), whose divisions by constants are the cheaper.
        const unsigned a = month <= 2 ? 1 : 0;
        const unsigned y = unsigned(year + 4800) - a;
        const unsigned m = unsigned(month) + 12 * a - 3;
        return qint64(day) + (153 * m + 2) / 5 + 365 * qint64(y) + y / 4 - y / 100 + y / 400 - 32045;
    }
    // The days of a month of the Gregorian calendar, its leap years reckoned back to year 0 as SQLite does
    // (which QDate, having no year 0, does not).
    static constexpr int daysInMonth(int year, int month)
    {
        constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        return Days[month - 1] + (month == 2 && leap ? 1 : 0);
    }
    static QDate stampDate(qint64 s) { return QDate::fromJulianDay(s / MsecsPerDay); }
    static QTime stampTime(qint64 s) { return QTime::fromMSecsSinceStartOfDay(int(s % MsecsPerDay)); }
    // Reads the ISO forms SQLite's date and time functions read: "yyyy-MM-dd", optionally followed by " " or
    // "T" and a time; or a time alone (on 30 December 1899, the day automation dates count from). A time
    // is "HH:mm", optionally ":ss" and a fraction of a second, optionally followed by "Z" or an offset
    // ("+02:00", "-0530", "+01"), which is taken off so that the stamp is in UTC. False for anything else.
    static bool parseIsoStamp(std::string_view text, qint64 *stamp)
    {
        // A plain date, the form nearly every stored date takes, is read here without a call, its ten
        // characters tested and taken apart eight at a time: a fetch reads one a row.
        if (text.size() == 10) {
            quint64 head = 0; // "yyyy-MM-", the first character in the lowest byte
            quint16 tail = 0; // "dd"
            std::memcpy(&head, text.data(), sizeof head);
            std::memcpy(&tail, text.data() + 8, sizeof tail);
            constexpr quint64 DigitBytes = 0x00ffff00ffffffff;
            constexpr quint64 HighNibbles = 0x00f0f000f0f0f0f0, DigitHighs = 0x0030300030303030;
            const quint64 digits = head & DigitBytes;
            // Each digit byte is 0x30 to 0x39: its high half 3, and adding 6 leaves it 3.
            const bool form = (head & ~DigitBytes) == 0x2d00002d00000000 &&
                (digits & HighNibbles) == DigitHighs &&
                ((digits + 0x0006060006060606) & HighNibbles) == DigitHighs && (tail & 0xf0f0) == 0x3030 &&
                ((tail + 0x0606) & 0xf0f0) == 0x3030;
            quint32 year = quint32(digits) & 0x0f0f0f0f;
            year = ((year * 10) + (year >> 8)) & 0x00ff00ff; // yy at bytes 0 and 2
            year = ((year * 100) + (year >> 16)) & 0xffff;
            const unsigned month = unsigned((digits >> 40) & 0x0f) * 10 + unsigned((digits >> 48) & 0x0f);
            const unsigned day = unsigned(tail & 0x0f) * 10 + unsigned((tail >> 8) & 0x0f);
            if (form && month - 1 < 12 &&
                (day - 1 < 28 || (day - 1 < 31 && int(day) <= daysInMonth(int(year), int(month))))) {
                // The Julian day from a table of years that begin in March (so that a leap day ends
                // one), for the years most dates fall in.
                constexpr unsigned MarchDays[] = {306, 337, 0, 31, 61, 92, 122, 153, 184, 214, 245, 275};
                const unsigned marchYear = year - (month <= 2 ? 1 : 0) - FirstTabledYear;
                const qint64 julian = marchYear < TabledYears
                    ? qint64(DaysBeforeMarchYears[marchYear]) + MarchDays[month - 1] + day
                    : julianDay(int(year), int(month), int(day));
                *stamp = ColumnStore::stamp(julian, 0);
                return true;
            }
        }
        return parseAnyIsoStamp(text, stamp);
    }

    void reset(const std::vector<Kind> &kinds);
    // Drops the rows, keeping the columns and their reserved memory.
    void clearRows();
    // Returns unused reserve to the system once every row is in.
    void squeeze();

    int columnCount() const { return int(m_columns.size()); }
    // The rows complete in every column.
    qsizetype rowCount() const
    {
        if (m_columns.empty())
            return 0;
        size_t rows = m_columns.front().size;
        for (const Column &c : m_columns)
            rows = c.size < rows ? c.size : rows;
        return qsizetype(rows);
    }
    Kind kind(int column) const { return m_columns[size_t(column)].kind; }

    void appendNull(int column)
    {
        Column &c = m_columns[size_t(column)];
        const size_t row = c.grow();
        c.nulls[row >> 6] |= quint64(1) << (row & 63);
        switch (c.kind) {
        case Kind::Integer:
        case Kind::DateTime:
        case Kind::Decimal:
            pushSlot(c, 0);
            break;
        case Kind::Double:
            c.doubles.push_back(0);
            break;
        case Kind::Text:
        case Kind::Bytes:
            c.arena.setSize(c.offsets.back()); // drops a value written in part
            c.offsets.push_back(c.offsets.back());
            break;
        }
    }
    // For Integer and DateTime columns.
    void appendInteger(int column, qint64 value)
    {
        Column &c = m_columns[size_t(column)];
        c.grow();
        pushSlot(c, value);
    }
    void appendDouble(int column, double value)
    {
        Column &c = m_columns[size_t(column)];
        c.grow();
        c.doubles.push_back(value);
    }
    // For Decimal columns. Most decimals (mantissas below 2^57: 17 digits) take their 64-bit slot alone,
    // as mantissa << 6 | scale << 1; a wider one goes to the column's side array and its slot holds
    // index << 1 | 1. So a column of numeric(p, s) values costs what a column of doubles does.
    void appendDecimal(int column, const AutomationDecimal &value)
    {
        if (!packs(value)) {
            appendWideDecimal(column, value);
            return;
        }
        Column &c = m_columns[size_t(column)];
        c.grow();
        pushSlot(c, pack(value));
    }
    // For Decimal columns, a double by its shortest digits (see AutomationDecimal::fromDouble). False, with
    // nothing appended, for a double no decimal holds.
    bool appendDoubleAsDecimal(int column, double value)
    {
        qint64 mantissa = 0;
        int scale = 0;
        if (!AutomationDecimal::fromFewPlaces(value, &mantissa, &scale)) {
            const auto d = AutomationDecimal::fromDouble(value);
            if (d)
                appendDecimal(column, *d);
            return d.has_value();
        }
        Column &c = m_columns[size_t(column)];
        c.grow();
        pushSlot(c, packSlot(mantissa, scale));
        return true;
    }
    // For Decimal and Double columns, a number in the invariant text form drivers deliver ("-12.50",
    // "1E+3"; see AutomationDecimal::fromText). A Decimal column keeps it exactly (digits beyond 28
    // places rounded); a value no decimal holds (NaN, infinities, magnitudes from 2^96 on) turns the
    // column into a Double one. False, with nothing appended, when the text is no number.
    bool appendNumberText(int column, std::string_view text);
    // For Text and Bytes columns.
    void appendText(int column, std::string_view bytes)
    {
        Column &c = m_columns[size_t(column)];
        c.grow();
        c.arena.append(bytes.data(), bytes.size());
        c.offsets.push_back(checkedOffset(c.arena.size()));
    }
    // A Text or Bytes value written in place, in one or more pieces: textRoom gives room for up to bytes
    // more at the end of the value so far, textWritten counts what was written there, and commitText ends
    // the value (appendNull instead drops it).
    char *textRoom(int column, size_t bytes)
    {
        Column &c = m_columns[size_t(column)];
        c.arena.reserveMore(bytes);
        return c.arena.data() + c.arena.size();
    }
    void textWritten(int column, const char *end)
    {
        Column &c = m_columns[size_t(column)];
        c.arena.setSize(size_t(end - c.arena.data()));
    }
    void commitText(int column)
    {
        Column &c = m_columns[size_t(column)];
        c.grow();
        c.offsets.push_back(checkedOffset(c.arena.size()));
    }
    // Room for rows more values in every column, so that a block of rows appends without growing.
    void reserveRows(size_t rows);
    // Drops the rows from the given one on (a row appended in part included).
    void truncateRows(qsizetype rows);

    bool isNull(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        return (c.nulls[size_t(row) >> 6] >> (size_t(row) & 63)) & 1;
    }
    qint64 integerAt(int column, qsizetype row) const
    {
        return slotOf(m_columns[size_t(column)], size_t(row));
    }
    double doubleAt(int column, qsizetype row) const
    {
        return m_columns[size_t(column)].doubles[size_t(row)];
    }
    // Integer, Double or Decimal columns as a double.
    double numberAt(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        if (c.kind == Kind::Decimal)
            return decimalAt(column, row).toDouble();
        return c.kind == Kind::Double ? c.doubles[size_t(row)] : double(slotOf(c, size_t(row)));
    }
    // Decimal and Integer columns as decimals.
    AutomationDecimal decimalAt(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        const qint64 slot = slotOf(c, size_t(row));
        if (c.kind == Kind::Integer)
            return AutomationDecimal::fromInteger(slot);
        return (slot & 1) ? c.wides[quint64(slot) >> 1] : unpack(slot);
    }
    // A decimal to compare with many cells, as the range of slots equal to it for each scale a packed cell
    // may have: a packed cell of scale s is less than the operand below first[s], greater above last[s]
    // (first > last where no value of that scale equals it), so a comparison costs two integer ones.
    // firstInteger and lastInteger are the same range for the cells of an Integer column. `beyond` is the
    // side of `value` the operand lies on (1 just above, -1 just below, 0 on it), for a literal with more
    // digits than a decimal holds, cut to `value`: no cell then equals it and cells equal to `value` order
    // on that side.
    struct DecimalOperand
    {
        AutomationDecimal value;
        int beyond = 0;
        // Indexed by a slot's five scale bits; scales above MaxScale never occur.
        qint64 first[32] = {};
        qint64 last[32] = {};
        __extension__ __int128 firstInteger = 0;
        __extension__ __int128 lastInteger = 0;
    };
    static DecimalOperand decimalOperand(const AutomationDecimal &value, int beyond = 0);
    // A Decimal cell's slot (integers(column)[row]): whether its value is held in the side array, else the
    // scale of the value packed into it.
    static bool isWideSlot(qint64 slot) { return slot & 1; }
    static int slotScale(qint64 slot) { return int((slot >> 1) & 31); }
    // Whether some value of a Decimal column lives in its side array (its slot isWideSlot).
    bool hasWideDecimals(int column) const { return !m_columns[size_t(column)].wides.empty(); }
    // A cell of a Decimal or Integer column against a decimal: -1, 0 or 1.
    int compareDecimal(int column, qsizetype row, const DecimalOperand &operand) const
    {
        const Column &c = m_columns[size_t(column)];
        const qint64 slot = slotOf(c, size_t(row));
        if (c.kind == Kind::Integer) {
            __extension__ using i128 = __int128;
            return i128(slot) < operand.firstInteger ? -1 : (i128(slot) > operand.lastInteger ? 1 : 0);
        }
        if (!isWideSlot(slot)) {
            const int scale = slotScale(slot);
            return slot < operand.first[scale] ? -1 : (slot > operand.last[scale] ? 1 : 0);
        }
        const int wide = AutomationDecimal::compare(c.wides[quint64(slot) >> 1], operand.value);
        return wide != 0 ? wide : -operand.beyond;
    }
    // The order key of a Decimal cell (see AutomationDecimal::orderKey).
    quint64 decimalKey(int column, qsizetype row, bool *exact) const
    {
        const Column &c = m_columns[size_t(column)];
        const qint64 slot = slotOf(c, size_t(row));
        if (!(slot & 1)) {
            const qint64 mantissa = slot >> 6;
            const quint64 magnitude = mantissa < 0 ? 0 - quint64(mantissa) : quint64(mantissa);
            if (magnitude < quint64(100000000000000000))
                return AutomationDecimal::orderKey(magnitude, int((slot >> 1) & 31), mantissa < 0);
        }
        return decimalAt(column, row).orderKey(exact);
    }
    // Two cells of a Decimal column: -1, 0 or 1.
    int compareDecimals(int column, qsizetype a, qsizetype b) const
    {
        const Column &c = m_columns[size_t(column)];
        const qint64 sa = slotOf(c, size_t(a));
        const qint64 sb = slotOf(c, size_t(b));
        if (((sa | sb) & 1) == 0) {
            // Packed mantissas (58 bits) brought to one scale fit 128 bits for scales up to 19 apart.
            const int scaleA = int((sa >> 1) & 31), scaleB = int((sb >> 1) & 31);
            if (scaleA == scaleB)
                return sa < sb ? -1 : (sb < sa ? 1 : 0);
            if (std::abs(scaleA - scaleB) <= 19) {
                __extension__ using i128 = __int128;
                const i128 x = i128(sa >> 6) * (scaleA < scaleB ? powerOfTen(scaleB - scaleA) : 1);
                const i128 y = i128(sb >> 6) * (scaleB < scaleA ? powerOfTen(scaleA - scaleB) : 1);
                return x < y ? -1 : (y < x ? 1 : 0);
            }
        }
        return AutomationDecimal::compare(decimalAt(column, a), decimalAt(column, b));
    }
    // A column's values as one array indexed by row, and its null bits (row r is bit r % 64 of word r / 64),
    // for loops over many rows. withIntegers calls f(values, unit) with the 64-bit or 32-bit array of an
    // Integer, DateTime or Decimal column (integers, stamps or slots) and the std::integral_constant a 32-bit
    // value is multiplied by to give them (MsecsPerDay for the Julian days of a DateTime column, else 1),
    // and returns what f returns.
    template<typename F>
    decltype(auto) withIntegers(int column, F f) const
    {
        const Column &c = m_columns[size_t(column)];
        if (!c.narrow)
            return f(c.ints.data(), std::integral_constant<qint64, 1>());
        if (c.kind == Kind::DateTime)
            return f(c.narrowInts.data(), std::integral_constant<qint64, MsecsPerDay>());
        return f(c.narrowInts.data(), std::integral_constant<qint64, 1>());
    }
    const double *doubles(int column) const { return m_columns[size_t(column)].doubles.data(); }
    const quint64 *nullBits(int column) const { return m_columns[size_t(column)].nulls.data(); }
    std::string_view textAt(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        const quint32 begin = c.offsets[size_t(row)];
        return std::string_view(c.arena.data() + begin, c.offsets[size_t(row) + 1] - begin);
    }

    // Changes a column's kind when a value arrives that the column cannot hold: Integer or Decimal to Double
    // (decimals to their nearest doubles), and anything to Text (doubles in their shortest form, decimals
    // with every digit, stamps as ISO dates). Apart from decimals turned into doubles, nothing is lost.
    void convert(int column, Kind to);

    // Bytes held, reserve included.
    size_t memoryBytes() const;

    // A text arena offset; past 4 GB in one column, vq::Error 7 (out of memory).
    static quint32 checkedOffset(size_t offset)
    {
        if (offset > 0xffffffffu)
            tooMuchText();
        return quint32(offset);
    }

private:
    struct Column
    {
        Kind kind = Kind::Text;
        size_t size = 0;
        PodBuffer<qint64> ints;
        // Integer, DateTime and Decimal values while every one fits 32 bits (narrow): integers and slots as
        // they are, a DateTime column's stamps as their Julian days while all are whole days. The first value
        // that does not fit moves them all into ints.
        PodBuffer<qint32> narrowInts;
        bool narrow = true;
        PodBuffer<double> doubles;
        PodBuffer<quint32> offsets; // size + 1 entries
        PodBuffer<char> arena;
        PodBuffer<quint64> nulls;
        PodBuffer<AutomationDecimal> wides; // Decimal: values too wide for their slot

        size_t grow()
        {
            if ((size & 63) == 0)
                nulls.push_back(0);
            return size++;
        }
    };

    [[noreturn]] static void tooMuchText();

    // The Julian day before 1 March of each year from FirstTabledYear on (a year of TabledYears).
    static constexpr unsigned FirstTabledYear = 1800, TabledYears = 400;
    static const std::array<qint32, TabledYears> DaysBeforeMarchYears;

    // The 64-bit value (integer, stamp or slot) of an Integer, DateTime or Decimal cell.
    static qint64 slotOf(const Column &c, size_t row)
    {
        if (!c.narrow)
            return c.ints[row];
        const qint64 value = c.narrowInts[row];
        return c.kind == Kind::DateTime ? value * MsecsPerDay : value;
    }
    static size_t slotCount(const Column &c) { return c.narrow ? c.narrowInts.size() : c.ints.size(); }
    static void pushSlot(Column &c, qint64 value)
    {
        if (c.narrow) {
            const qint64 narrowed = c.kind == Kind::DateTime ? value / MsecsPerDay : value;
            if (narrowed == qint32(narrowed) &&
                (c.kind != Kind::DateTime || narrowed * MsecsPerDay == value)) {
                c.narrowInts.push_back(qint32(narrowed));
                return;
            }
            widen(c);
        }
        c.ints.push_back(value);
    }
    // Moves a narrow column's values into 64 bits.
    [[gnu::noinline]] static void widen(Column &c);
    void appendWideDecimal(int column, const AutomationDecimal &value);
    static bool parseAnyIsoStamp(std::string_view text, qint64 *stamp);

    static qint64 powerOfTen(int n)
    {
        qint64 p = 1;
        while (n-- > 0)
            p *= 10;
        return p;
    }
    static bool packs(const AutomationDecimal &d) { return d.hi() == 0 && d.lo() < (quint64(1) << 57); }
    // A mantissa below 2^57 in magnitude and its scale, packed into a slot.
    static qint64 packSlot(qint64 mantissa, int scale)
    {
        return qint64((quint64(mantissa) << 6) | (quint64(scale) << 1));
    }
    static qint64 pack(const AutomationDecimal &d)
    {
        return packSlot(d.isNegative() ? -qint64(d.lo()) : qint64(d.lo()), d.scale());
    }
    static AutomationDecimal unpack(qint64 slot)
    {
        const qint64 mantissa = slot >> 6;
        return *AutomationDecimal::fromParts(
            0, mantissa < 0 ? 0 - quint64(mantissa) : quint64(mantissa), int((slot >> 1) & 31), mantissa < 0);
    }

    std::vector<Column> m_columns;
};

} // namespace vq
