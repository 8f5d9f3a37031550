#include "dates/DateKeys.h"
#include "dates/DateLeave.h"

#include <QLocale>

#include <gtest/gtest.h>

using vq::dates::filterDateCharacter;
using vq::dates::LeaveVerdict;

namespace {

constexpr int Backspace = 8;

// Types characters at the end of a text as the field would, with a ten-character limit.
QString typed(QString text, const QString &keys)
{
    for (const QChar k : keys) {
        const int code = k == QLatin1Char('\b') ? Backspace : k.unicode();
        const vq::dates::DateCharacterResult r = filterDateCharacter(code, int(text.size()));
        if (r.appendDash)
            text += QLatin1Char('-');
        if (r.code == Backspace)
            text.chop(1);
        else if (r.code != 0 && text.size() < 10)
            text += QChar(r.code);
    }
    return text;
}

TEST(DateKeyFilter, OnlyDigitsPassAndTheDashesComeAtTwoAndFiveWhateverTheKey)
{
    struct Case
    {
        int code;
        int length;
        int kept;
        bool dash;
    };
    const Case cases[] = {
        {'1', 0, '1', false}, {'9', 2, '9', true}, {'0', 5, '0', true}, {'5', 3, '5', false},
        {'/', 2, 0, true}, // the refused slash still earns the dash
        {'-', 5, 0, true}, // so does a typed dash, which is itself refused
        {'a', 3, 0, false}, {13, 2, 0, true}, // ENTER
        {22, 1, 0, false}, // Ctrl+V: no pasting
        {Backspace, 2, Backspace, false}, {Backspace, 5, Backspace, false},
        {'7', 10, '7', false}, // the field's length limit refuses it, not the filter
    };
    for (const Case &c : cases) {
        const vq::dates::DateCharacterResult r = filterDateCharacter(c.code, c.length);
        EXPECT_EQ(r.code, c.kept) << c.code << " at " << c.length;
        EXPECT_EQ(r.appendDash, c.dash) << c.code << " at " << c.length;
    }
}

TEST(DateKeyFilter, EightDigitsMakeADateAndBackspacingUndoesOneCharacterAtATime)
{
    struct Case
    {
        const char *keys;
        const char *text;
    };
    const Case cases[] = {
        {"18042001", "18-04-2001"},
        {"01012001", "01-01-2001"},
        {"1804200199", "18-04-2001"},
        {"18x", "18-"},
        {"18/", "18-"},
        {"18-04", "18-04"}, // typing the dash yourself gives one dash, not two
        {"180\b", "18-"},
        {"180\b\b", "18"},
        {"180\b\b4", "18-4"},
        {"1804\b\b\b", "18"},
        {"1804\b\b\b0", "18-0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(typed(QString(), QString::fromLatin1(c.keys)), QString::fromLatin1(c.text)) << c.keys;
}

QDateTime day(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC);
}

TEST(DateLeaveCheck, TrimsAcceptsEmptyChecksTheRangeInclusivelyAndSpotsNonDates)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale gb(QLocale::English, QLocale::UnitedKingdom);
    struct Case
    {
        QString text;
        QLocale locale;
        QDateTime min;
        QDateTime max;
        QString trimmed;
        LeaveVerdict verdict;
    };
    const QDateTime y2001a = day(2001, 1, 1), y2001z = day(2001, 12, 31);
    const Case cases[] = {
        {"", us, y2001a, y2001z, "", LeaveVerdict::Empty},
        {"    ", us, y2001a, y2001z, "", LeaveVerdict::Empty},
        {" 1/1/2001 ", us, y2001a, y2001z, "1/1/2001", LeaveVerdict::InRange},
        {"12/31/2001", us, y2001a, y2001z, "12/31/2001", LeaveVerdict::InRange},
        {"12-31-2001", us, y2001a, y2001z, "12-31-2001", LeaveVerdict::InRange},
        {"01-01-2002", us, y2001a, y2001z, "01-01-2002", LeaveVerdict::OutOfRange},
        {"12-31-2000", us, y2001a, y2001z, "12-31-2000", LeaveVerdict::OutOfRange},
        // A time after midnight of the last day lies beyond it.
        {"12/31/2001 10:00", us, y2001a, y2001z, "12/31/2001 10:00", LeaveVerdict::OutOfRange},
        {"99-99-9999", us, y2001a, y2001z, "99-99-9999", LeaveVerdict::NotADate},
        {"18-04", us, y2001a, y2001z, "18-04", LeaveVerdict::NotADate},
        // The digits the field makes are read in the locale's order.
        {"18-04-2001", us, y2001a, y2001z, "18-04-2001", LeaveVerdict::NotADate},
        {"18-04-2001", gb, y2001a, y2001z, "18-04-2001", LeaveVerdict::InRange},
        {"31-12-2001", gb, y2001a, y2001z, "31-12-2001", LeaveVerdict::InRange},
        {"01-01-2002", gb, y2001a, y2001z, "01-01-2002", LeaveVerdict::OutOfRange},
        // Bounds the wrong way round refuse every date.
        {"6/1/2001", us, y2001z, y2001a, "6/1/2001", LeaveVerdict::OutOfRange},
        {"12/31/2001", us, y2001z, y2001a, "12/31/2001", LeaveVerdict::OutOfRange},
        // The widest range: the default bounds.
        {"1/1/1601", us, vq::dates::defaultMinDate(), vq::dates::defaultMaxDate(), "1/1/1601",
            LeaveVerdict::InRange},
        {"12/31/1600", us, vq::dates::defaultMinDate(), vq::dates::defaultMaxDate(), "12/31/1600",
            LeaveVerdict::OutOfRange},
    };
    for (const Case &c : cases) {
        const vq::dates::LeaveCheck check = vq::dates::checkLeavingText(c.text, c.min, c.max, c.locale);
        EXPECT_EQ(check.text, c.trimmed) << c.text.toStdString();
        EXPECT_EQ(int(check.verdict), int(c.verdict))
            << c.text.toStdString() << " " << c.locale.name().toStdString();
    }
}

TEST(DateLeaveCheck, TheWarningNamesBothBoundsInTheLocalesShortDateForm)
{
    const QDateTime min = vq::dates::defaultMinDate();
    const QDateTime max = vq::dates::defaultMaxDate();
    EXPECT_EQ(vq::dates::rangeWarning(min, max, QLocale(QLocale::English, QLocale::UnitedStates)),
        "Date Should be between [1/1/1601] And [12/31/9999]");
    EXPECT_EQ(vq::dates::rangeWarning(min, max, QLocale(QLocale::English, QLocale::UnitedKingdom)),
        "Date Should be between [01/01/1601] And [31/12/9999]");
    EXPECT_EQ(vq::dates::rangeWarning(
                  day(2001, 1, 1), day(2001, 12, 31, 18), QLocale(QLocale::German, QLocale::Germany)),
        "Date Should be between [01.01.2001] And [31.12.2001 18:00:00]");
}

} // namespace
