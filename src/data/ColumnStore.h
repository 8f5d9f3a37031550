#pragma once

#include "data/PodBuffer.h"

#include <QDate>
#include <QTime>
#include <QtGlobal>

#include <string>
#include <string_view>
#include <vector>

namespace vq {

// Fetched values held column by column: each column one contiguous typed array, texts in one byte arena
// (UTF-8) with 32-bit offsets, nulls in a bitmap. A cell costs its value's bytes plus at most eight bytes.
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
    };

    static constexpr qint64 MsecsPerDay = 86400000;
    static qint64 stamp(qint64 julianDay, qint64 msecs) { return julianDay * MsecsPerDay + msecs; }
    // The Julian day of a date of the Gregorian calendar from year 1 on, by arithmetic (Fliegel and Van
    // Flandern): cheaper than a QDate per value. Valid dates only.
    static constexpr qint64 julianDay(int year, int month, int day)
    {
        const qint64 a = (14 - month) / 12;
        const qint64 y = year + 4800 - a;
        const qint64 m = month + 12 * a - 3;
        return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    }
    static QDate stampDate(qint64 s) { return QDate::fromJulianDay(s / MsecsPerDay); }
    static QTime stampTime(qint64 s) { return QTime::fromMSecsSinceStartOfDay(int(s % MsecsPerDay)); }
    // Reads the ISO forms SQLite's date and time functions read: "yyyy-MM-dd", optionally followed by " " or
    // "T" and a time; or a time alone (on 30 December 1899, the day automation dates count from). A time
    // is "HH:mm", optionally ":ss" and a fraction of a second, optionally followed by "Z" or an offset
    // ("+02:00", "-0530", "+01"), which is taken off so that the stamp is in UTC. False for anything else.
    static bool parseIsoStamp(std::string_view text, qint64 *stamp);

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
            c.ints.push_back(0);
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
        c.ints.push_back(value);
    }
    void appendDouble(int column, double value)
    {
        Column &c = m_columns[size_t(column)];
        c.grow();
        c.doubles.push_back(value);
    }
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
    qint64 integerAt(int column, qsizetype row) const { return m_columns[size_t(column)].ints[size_t(row)]; }
    double doubleAt(int column, qsizetype row) const
    {
        return m_columns[size_t(column)].doubles[size_t(row)];
    }
    // Integer or Double columns as a double.
    double numberAt(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        return c.kind == Kind::Double ? c.doubles[size_t(row)] : double(c.ints[size_t(row)]);
    }
    // A column's values as one array indexed by row (integers of Integer and DateTime columns, doubles of
    // Double columns), and its null bits (row r is bit r % 64 of word r / 64), for loops over many rows.
    const qint64 *integers(int column) const { return m_columns[size_t(column)].ints.data(); }
    const double *doubles(int column) const { return m_columns[size_t(column)].doubles.data(); }
    const quint64 *nullBits(int column) const { return m_columns[size_t(column)].nulls.data(); }
    std::string_view textAt(int column, qsizetype row) const
    {
        const Column &c = m_columns[size_t(column)];
        const quint32 begin = c.offsets[size_t(row)];
        return std::string_view(c.arena.data() + begin, c.offsets[size_t(row) + 1] - begin);
    }

    // Changes a column's kind when a value arrives that the column cannot hold: Integer to Double, and
    // anything to Text (numbers in their shortest form, stamps as ISO dates). Nothing is lost.
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
        PodBuffer<double> doubles;
        PodBuffer<quint32> offsets; // size + 1 entries
        PodBuffer<char> arena;
        PodBuffer<quint64> nulls;

        size_t grow()
        {
            if ((size & 63) == 0)
                nulls.push_back(0);
            return size++;
        }
    };

    [[noreturn]] static void tooMuchText();

    std::vector<Column> m_columns;
};

} // namespace vq
