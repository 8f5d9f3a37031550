#include "data/ColumnStore.h"

#include "platform/Error.h"

#include <charconv>

namespace vq {

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

bool ColumnStore::parseIsoStamp(std::string_view s, qint64 *stamp)
{
    int y, m, d;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-' || !digits(s, 0, 4, &y) || !digits(s, 5, 2, &m) ||
        !digits(s, 8, 2, &d))
        return false;
    if (m < 1 || m > 12 || d < 1 || d > 28 + 3) // the calendar check follows only for the rare doubtful days
        return false;
    if (d > 28 && !QDate::isValid(y, m, d))
        return false;
    // Julian day by arithmetic (Fliegel and Van Flandern): cheaper than a QDate per value.
    const qint64 a = (14 - m) / 12;
    const qint64 yy = y + 4800 - a;
    const qint64 mm = m + 12 * a - 3;
    const qint64 julianDay = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
    qint64 ms = 0;
    if (s.size() > 10) {
        int hh, mm, ss = 0, frac = 0;
        if ((s[10] != ' ' && s[10] != 'T') || s.size() < 16 || s[13] != ':' || !digits(s, 11, 2, &hh) ||
            !digits(s, 14, 2, &mm))
            return false;
        size_t at = 16;
        if (at < s.size() && s[at] == ':') {
            if (!digits(s, 17, 2, &ss))
                return false;
            at = 19;
            if (at < s.size() && s[at] == '.') {
                ++at;
                int scale = 100;
                while (at < s.size() && s[at] >= '0' && s[at] <= '9') {
                    frac += (s[at] - '0') * scale;
                    scale /= 10;
                    ++at;
                }
            }
        }
        if (at != s.size() || hh > 23 || mm > 59 || ss > 59)
            return false;
        ms = ((hh * 60 + mm) * 60 + ss) * qint64(1000) + frac;
    }
    *stamp = ColumnStore::stamp(julianDay, ms);
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
    for (Column &c : m_columns) {
        c.size = 0;
        c.ints.clear();
        c.doubles.clear();
        c.arena.clear();
        c.nulls.clear();
        c.offsets.clear();
        if (c.kind == Kind::Text || c.kind == Kind::Bytes)
            c.offsets.push_back(0);
    }
}

void ColumnStore::squeeze()
{
    for (Column &c : m_columns) {
        c.ints.shrink_to_fit();
        c.doubles.shrink_to_fit();
        c.offsets.shrink_to_fit();
        c.arena.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
}

void ColumnStore::convert(int column, Kind to)
{
    Column &c = m_columns[size_t(column)];
    if (c.kind == to)
        return;
    if (c.kind == Kind::Integer && to == Kind::Double) {
        c.doubles.reserve(c.ints.size());
        for (const qint64 v : c.ints)
            c.doubles.push_back(double(v));
        std::vector<qint64>().swap(c.ints);
        c.kind = Kind::Double;
        return;
    }
    if (to != Kind::Text)
        return;
    std::string arena;
    std::vector<quint32> offsets;
    offsets.reserve(c.size + 1);
    offsets.push_back(0);
    for (size_t row = 0; row < c.size; ++row) {
        const bool null = (c.nulls[row >> 6] >> (row & 63)) & 1;
        if (!null) {
            switch (c.kind) {
            case Kind::Integer:
                arena += std::to_string(c.ints[row]);
                break;
            case Kind::Double:
                arena += numberText(c.doubles[row]);
                break;
            case Kind::DateTime:
                arena += stampToIso(c.ints[row]);
                break;
            case Kind::Text:
            case Kind::Bytes:
                arena.append(c.arena, c.offsets[row], c.offsets[row + 1] - c.offsets[row]);
                break;
            }
        }
        offsets.push_back(checkedOffset(arena.size()));
    }
    c.arena.swap(arena);
    c.offsets.swap(offsets);
    std::vector<qint64>().swap(c.ints);
    std::vector<double>().swap(c.doubles);
    c.kind = Kind::Text;
}

size_t ColumnStore::memoryBytes() const
{
    size_t bytes = 0;
    for (const Column &c : m_columns) {
        bytes += c.ints.capacity() * sizeof(qint64) + c.doubles.capacity() * sizeof(double) +
            c.offsets.capacity() * sizeof(quint32) + c.arena.capacity() +
            c.nulls.capacity() * sizeof(quint64);
    }
    return bytes;
}

void ColumnStore::tooMuchText()
{
    throw Error(Error::BadRecordsetArguments,
        QStringLiteral("The fetched text exceeds the record set's limit of 4 GB per column."));
}

} // namespace vq
