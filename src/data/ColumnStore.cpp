#include "data/ColumnStore.h"

#include "platform/AutomationDate.h"
#include "platform/Error.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

namespace vq {

constexpr std::array<qint32, ColumnStore::TabledYears> ColumnStore::DaysBeforeMarchYears = [] {
    std::array<qint32, TabledYears> days {};
    for (unsigned y = 0; y < TabledYears; ++y)
        days[y] = qint32(julianDay(int(FirstTabledYear + y), 3, 1) - 1);
    return days;
}();

namespace {

bool digits(std::string_view s, size_t at, size_t count, int *value)
{
    if (at + count > s.size())
        return false;
    int v = 0;
    for (size_t i = at; i < at + count; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

std::string stampToIso(qint64 stamp)
{
    const QDate date = ColumnStore::stampDate(stamp);
    const QTime time = ColumnStore::stampTime(stamp);
    QString text = date.toString(Qt::ISODate);
    if (time.msecsSinceStartOfDay() != 0)
        text += QLatin1Char(' ') +
            time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
    return text.toStdString();
}

std::string numberText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

namespace {

// "HH:mm", optionally ":ss" and a fraction, from `at`; moves `at` past it. Milliseconds of the day.
bool isoTime(std::string_view s, size_t &at, qint64 *msecs)
{
    int hh, mm, ss = 0, frac = 0;
    if (at + 5 > s.size() || s[at + 2] != ':' || !digits(s, at, 2, &hh) || !digits(s, at + 3, 2, &mm))
        return false;
    at += 5;
    if (at < s.size() && s[at] == ':') {
        if (!digits(s, at + 1, 2, &ss))
            return false;
        at += 3;
        if (at < s.size() && s[at] == '.') {
            ++at;
            int scale = 100;
            const size_t first = at;
            while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
                frac += (s[at] - '0') * scale;
                scale /= 10;
                ++at;
            }
            if (at == first)
                return false;
        }
    }
    if (hh > 23 || mm > 59 || ss > 59)
        return false;
    *msecs = ((hh * 60 + mm) * 60 + ss) * qint64(1000) + frac;
    return true;
}

// "Z", "+HH:mm", "+HHmm" or "+HH" (or "-"), to the end; the offset east of UTC in milliseconds.
bool isoZone(std::string_view s, size_t at, qint64 *offset)
{
    *offset = 0;
    if (at == s.size())
        return true;
    if (s[at] == 'Z' || s[at] == 'z')
        return at + 1 == s.size();
    if (s[at] != '+' && s[at] != '-')
        return false;
    const int sign = s[at] == '-' ? -1 : 1;
    int hh, mm = 0;
    if (!digits(s, at + 1, 2, &hh))
        return false;
    at += 3;
    if (at < s.size() && s[at] == ':')
        ++at;
    if (at < s.size()) {
        if (!digits(s, at, 2, &mm) || at + 2 != s.size())
            return false;
    }
    if (hh > 23 || mm > 59)
        return false;
    *offset = sign * (hh * 60 + mm) * qint64(60000);
    return true;
}

} // namespace

bool ColumnStore::parseAnyIsoStamp(std::string_view s, qint64 *stamp)
{
    size_t at = 0;
    qint64 ms = 0;
    qint64 offset = 0;
    // A time of day alone stands on the day that automation dates count from, as ODBC times do.
    if (s.size() >= 5 && s[2] == ':') {
        if (!isoTime(s, at, &ms) || !isoZone(s, at, &offset))
            return false;
        *stamp = ColumnStore::stamp(AutomationDate::EpochJulianDay, ms - offset);
        return true;
    }
    int y, m, d;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-' || !digits(s, 0, 4, &y) || !digits(s, 5, 2, &m) ||
        !digits(s, 8, 2, &d))
        return false;
    if (m < 1 || m > 12 || d < 1 || d > 28 + 3) // the calendar check follows only for the rare doubtful days
        return false;
    if (d > 28 && d > daysInMonth(y, m))
        return false;
    const qint64 julianDay = ColumnStore::julianDay(y, m, d);
    at = 10;
    if (at < s.size()) {
        if (s[at] != ' ' && s[at] != 'T' && s[at] != 't')
            return false;
        ++at;
        if (!isoTime(s, at, &ms) || !isoZone(s, at, &offset))
            return false;
    }
    // Times with a zone are held in UTC, as every stored time is read.
    *stamp = ColumnStore::stamp(julianDay, ms - offset);
    return true;
}

void ColumnStore::reset(const std::vector<Kind> &kinds)
{
    m_columns.clear();
    m_columns.resize(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        m_columns[i].kind = kinds[i];
        if (kinds[i] == Kind::Text || kinds[i] == Kind::Bytes)
            m_columns[i].offsets.push_back(0);
    }
}

void ColumnStore::clearRows()
{
    truncateRows(0);
}

void ColumnStore::reserveRows(size_t rows)
{
    for (Column &c : m_columns) {
        c.nulls.reserveMore(rows / 64 + 1);
        switch (c.kind) {
        case Kind::Integer:
        case Kind::DateTime:
        case Kind::Decimal:
            if (c.narrow)
                c.narrowInts.reserveMore(rows);
            else
                c.ints.reserveMore(rows);
            break;
        case Kind::Double:
            c.doubles.reserveMore(rows);
            break;
        case Kind::Text:
        case Kind::Bytes:
            c.offsets.reserveMore(rows);
            break;
        }
    }
}

void ColumnStore::truncateRows(qsizetype rows)
{
    const size_t keep = size_t(rows);
    for (Column &c : m_columns) {
        if (c.size > keep) {
            c.size = keep;
            c.nulls.setSize((keep + 63) / 64);
            if (keep & 63)
                c.nulls.back() &= (quint64(1) << (keep & 63)) - 1;
            c.ints.setSize(std::min(c.ints.size(), keep));
            c.narrowInts.setSize(std::min(c.narrowInts.size(), keep));
            if (c.kind == Kind::Decimal) {
                // Wide values of the rows dropped go too: the last kept one says how many stay.
                size_t wides = 0;
                for (size_t row = slotCount(c); row-- > 0 && wides == 0;) {
                    const qint64 slot = slotOf(c, row);
                    if (slot & 1)
                        wides = (quint64(slot) >> 1) + 1;
                }
                c.wides.setSize(wides);
            }
            c.doubles.setSize(std::min(c.doubles.size(), keep));
            if (!c.offsets.empty())
                c.offsets.setSize(keep + 1);
        }
        // A value written in part beyond the last complete one goes too.
        if (!c.offsets.empty())
            c.arena.setSize(c.offsets.back());
    }
}

void ColumnStore::squeeze()
{
    for (Column &c : m_columns) {
        c.ints.shrinkToFit();
        c.narrowInts.shrinkToFit();
        c.doubles.shrinkToFit();
        c.offsets.shrinkToFit();
        c.arena.shrinkToFit();
        c.nulls.shrinkToFit();
        c.wides.shrinkToFit();
    }
}

void ColumnStore::convert(int column, Kind to)
{
    Column &c = m_columns[size_t(column)];
    if (c.kind == to)
        return;
    if ((c.kind == Kind::Integer || c.kind == Kind::Decimal) && to == Kind::Double) {
        PodBuffer<double> doubles;
        const size_t count = slotCount(c);
        double *out = doubles.extend(count);
        for (size_t i = 0; i < count; ++i)
            out[i] =
                c.kind == Kind::Integer ? double(slotOf(c, i)) : decimalAt(column, qsizetype(i)).toDouble();
        c.doubles.swap(doubles);
        c.ints.release();
        c.narrowInts.release();
        c.wides.release();
        c.kind = Kind::Double;
        return;
    }
    if (to != Kind::Text)
        return;
    PodBuffer<char> arena;
    PodBuffer<quint32> offsets;
    offsets.reserveMore(c.size + 1);
    offsets.push_back(0);
    auto add = [&](const std::string &text) { arena.append(text.data(), text.size()); };
    for (size_t row = 0; row < c.size; ++row) {
        const bool null = (c.nulls[row >> 6] >> (row & 63)) & 1;
        if (!null) {
            switch (c.kind) {
            case Kind::Integer:
                add(std::to_string(slotOf(c, row)));
                break;
            case Kind::Double:
                add(numberText(c.doubles[row]));
                break;
            case Kind::DateTime:
                add(stampToIso(slotOf(c, row)));
                break;
            case Kind::Decimal:
                add(decimalAt(column, qsizetype(row)).toInvariantText());
                break;
            case Kind::Text:
            case Kind::Bytes:
                arena.append(c.arena.data() + c.offsets[row], c.offsets[row + 1] - c.offsets[row]);
                break;
            }
        }
        offsets.push_back(checkedOffset(arena.size()));
    }
    c.arena.swap(arena);
    c.offsets.swap(offsets);
    c.ints.release();
    c.narrowInts.release();
    c.doubles.release();
    c.wides.release();
    c.kind = Kind::Text;
}

size_t ColumnStore::memoryBytes() const
{
    size_t bytes = 0;
    for (const Column &c : m_columns) {
        bytes += c.ints.capacity() * sizeof(qint64) + c.narrowInts.capacity() * sizeof(qint32) +
            c.doubles.capacity() * sizeof(double) + c.offsets.capacity() * sizeof(quint32) +
            c.arena.capacity() + c.nulls.capacity() * sizeof(quint64) +
            c.wides.capacity() * sizeof(AutomationDecimal);
    }
    return bytes;
}

ColumnStore::DecimalOperand ColumnStore::decimalOperand(const AutomationDecimal &value, int beyond)
{
    __extension__ using u128 = unsigned __int128;
    __extension__ using i128 = __int128;
    // Magnitudes past this are held as this: far beyond every packed mantissa (below 2^57) and every 64-bit
    // integer, with room for one more factor of ten.
    constexpr u128 Cap = u128(1) << 100;
    const auto clampSlot = [](i128 v) {
        return qint64(
            std::clamp<i128>(v, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
    };
    DecimalOperand o;
    o.value = value;
    o.beyond = beyond;
    const u128 mantissa = (u128(value.hi()) << 64) | value.lo();
    for (int scale = 0; scale < 32; ++scale) {
        if (scale > AutomationDecimal::MaxScale) {
            o.first[scale] = std::numeric_limits<qint64>::max();
            o.last[scale] = std::numeric_limits<qint64>::min();
            continue;
        }
        // The operand times 10^scale lies in [floor, ceil]; the two are equal when it is whole.
        u128 whole = mantissa;
        bool fraction = false;
        if (scale >= value.scale()) {
            for (int k = value.scale(); k < scale; ++k) {
                if (whole > Cap / 10) {
                    whole = Cap;
                    break;
                }
                whole *= 10;
            }
        } else {
            u128 unit = 1;
            for (int k = scale; k < value.scale(); ++k)
                unit *= 10;
            fraction = whole % unit != 0;
            whole /= unit;
        }
        const i128 w = i128(whole);
        i128 floor = value.isNegative() ? -w - (fraction ? 1 : 0) : w;
        i128 ceil = value.isNegative() ? -w : w + (fraction ? 1 : 0);
        // A literal cut to this value lies strictly between two neighbours of every scale.
        if (beyond > 0)
            ceil = floor + 1;
        else if (beyond < 0)
            floor = ceil - 1;
        if (scale == 0) {
            o.firstInteger = ceil;
            o.lastInteger = floor;
        }
        // A slot is mantissa << 6 with the scale in the low bits: mantissas from ceil on start at ceil << 6,
        // those up to floor end at floor << 6 | 63. Past the 64-bit range every packed slot (below 2^63 in
        // magnitude) lies on one side.
        o.first[scale] = clampSlot(ceil * 64);
        o.last[scale] = clampSlot(floor * 64 + 63);
    }
    return o;
}

bool ColumnStore::appendNumberText(int column, std::string_view text)
{
    if (kind(column) != Kind::Decimal && kind(column) != Kind::Double)
        return false;
    if (kind(column) == Kind::Decimal) {
        if (const auto value = AutomationDecimal::fromText(text)) {
            appendDecimal(column, *value);
            return true;
        }
    }
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ptr != text.data() + text.size())
        return false;
    if (r.ec == std::errc::result_out_of_range) // beyond a double: from_chars leaves v alone
        v = std::strtod(std::string(text).c_str(), nullptr);
    else if (r.ec != std::errc())
        return false;
    convert(column, Kind::Double);
    appendDouble(column, v);
    return true;
}

void ColumnStore::appendWideDecimal(int column, const AutomationDecimal &value)
{
    Column &c = m_columns[size_t(column)];
    c.grow();
    pushSlot(c, qint64((quint64(c.wides.size()) << 1) | 1));
    c.wides.push_back(value);
}

void ColumnStore::widen(Column &c)
{
    const size_t count = c.narrowInts.size();
    c.ints.reserveMore(count + 1);
    qint64 *out = c.ints.extend(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = slotOf(c, i);
    c.narrowInts.release();
    c.narrow = false;
}

void ColumnStore::tooMuchText()
{
    // Not 3001: that number means a refused argument, which callers may pass over in silence.
    throw Error(Error::OutOfMemory,
        QStringLiteral("Out of memory: the fetched text exceeds the record set's limit of 4 GB per column."));
}

} // namespace vq
