#include "FuzzTarget.h"

#include "data/ColumnStore.h"

#include <string_view>

// Date and time texts as SQLite keeps them. A text of ten characters that is no time of day is read exactly
// when it has the plain form "yyyy-MM-dd" (digits and dashes where the form has them) and the calendar has
// its day, as the Julian day that the calendar's arithmetic gives; any text read gives a stamp on a day of
// years 0 to 9999.
VQ_FUZZ_TARGET(iso_stamp)
{
    using vq::ColumnStore;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const QString shown = QString::fromLatin1(text.data(), qsizetype(text.size()));
    qint64 stamp = 0;
    const bool read = ColumnStore::parseIsoStamp(text, &stamp);
    if (read) {
        FUZZ_CHECK(stamp >= ColumnStore::stamp(ColumnStore::julianDay(0, 1, 1), 0) - ColumnStore::MsecsPerDay,
            shown);
        FUZZ_CHECK(
            stamp < ColumnStore::stamp(ColumnStore::julianDay(10000, 1, 1), 0) + ColumnStore::MsecsPerDay,
            shown);
    }
    if (text.size() != 10 || text[2] == ':') // a time of day alone may take ten characters too
        return;
    int value[10] = {};
    bool form = true;
    for (size_t i = 0; i < 10; ++i) {
        const bool dash = i == 4 || i == 7;
        form = form && (dash ? text[i] == '-' : text[i] >= '0' && text[i] <= '9');
        value[i] = text[i] - '0';
    }
    const int year = value[0] * 1000 + value[1] * 100 + value[2] * 10 + value[3];
    const int month = value[5] * 10 + value[6], day = value[8] * 10 + value[9];
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool valid = form && month >= 1 && month <= 12 && day >= 1 && day <= monthDays[month - 1];
    FUZZ_CHECK(read == valid, shown);
    if (valid)
        FUZZ_CHECK(stamp == ColumnStore::stamp(ColumnStore::julianDay(year, month, day), 0), shown);
}
