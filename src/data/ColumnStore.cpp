#include "data/ColumnStore.h"

#include "platform/Error.h"

#include <algorithm>
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
    const qint64 julianDay = ColumnStore::julianDay(y, m, d);
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
    truncateRows(0);
}

void ColumnStore::reserveRows(size_t rows)
{
    for (Column &c : m_columns) {
        c.nulls.reserveMore(rows / 64 + 1);
        switch (c.kind) {
        case Kind::Integer:
        case Kind::DateTime:
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
        c.doubles.shrinkToFit();
        c.offsets.shrinkToFit();
        c.arena.shrinkToFit();
        c.nulls.shrinkToFit();
    }
}

void ColumnStore::convert(int column, Kind to)
{
    Column &c = m_columns[size_t(column)];
    if (c.kind == to)
        return;
    if (c.kind == Kind::Integer && to == Kind::Double) {
        PodBuffer<double> doubles;
        double *out = doubles.extend(c.ints.size());
        for (size_t i = 0; i < c.ints.size(); ++i)
            out[i] = double(c.ints[i]);
        c.doubles.swap(doubles);
        c.ints.release();
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
                add(std::to_string(c.ints[row]));
                break;
            case Kind::Double:
                add(numberText(c.doubles[row]));
                break;
            case Kind::DateTime:
                add(stampToIso(c.ints[row]));
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
    c.doubles.release();
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
