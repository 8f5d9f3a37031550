#include "dates/DateKeys.h"
#include "dates/DateLeave.h"

#include <QLocale>

#include <gtest/gtest.h>

using vq::dates::LeaveVerdict;

namespace {

// Types keys at the end of a text as the field would ('\b' is BACKSPACE), with its ten-character limit.
QString typed(const char *keys)
{
    QString text;
    for (const char *k = keys; *k; ++k) {
        const int code = *k == '\b' ? 8 : *k;
        const vq::dates::DateCharacterResult r = vq::dates::filterDateCharacter(code, int(text.size()));
        if (r.appendDash)
            text += QLatin1Char('-');
        if (r.code == 8)
            text.chop(1);
        else if (r.code != 0 && text.size() < 10)
            text += QChar(r.code);
    }
    return text;
}

TEST(DateKeyFilter, OnlyDigitsPassAndEveryKeyButBackspaceEarnsTheDashAtTwoAndFive)
{
    const std::pair<const char *, const char *> cases[] = {
        {"18042001", "18-04-2001"},
        {"1804200199", "18-04-2001"},
        {"18x", "18-"},
        {"18/", "18-"},
        {"18\r", "18-"}, // ENTER
        {"18\x16", "18-"}, // Ctrl+V: nothing is pasted
        {"18-04", "18-04"}, // a typed dash is refused, the field's own one stands
        {"180\b\b", "18"},
        {"180\b\b4", "18-4"},
        {"18041\b\b\b", "18-0"},
    };
    for (const auto &[keys, text] : cases)
        EXPECT_EQ(typed(keys), QString::fromLatin1(text)) << keys;
}

QDateTime day(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC);
}

TEST(DateLeaveCheck, TrimsAcceptsEmptyChecksTheRangeInclusivelyAndSpotsNonDates)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale gb(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime jan1 = day(2001, 1, 1), dec31 = day(2001, 12, 31);
    struct Case
    {
        QString text;
        QLocale locale;
        QDateTime min, max;
        LeaveVerdict verdict;
    };
    const Case cases[] = {
        {"    ", us, jan1, dec31, LeaveVerdict::Empty},
        {" 1/1/2001 ", us, jan1, dec31, LeaveVerdict::InRange},
        {"12-31-2001", us, jan1, dec31, LeaveVerdict::InRange},
        {"01-01-2002", us, jan1, dec31, LeaveVerdict::OutOfRange},
        {"12/31/2001 10:00", us, jan1, dec31, LeaveVerdict::OutOfRange}, // after midnight of the last day
        {"99-99-9999", us, jan1, dec31, LeaveVerdict::NotADate},
        {"18-04-2001", us, jan1, dec31, LeaveVerdict::NotADate}, // read month first here
        {"18-04-2001", gb, jan1, dec31, LeaveVerdict::InRange},
        {"01-01-2002", gb, jan1, dec31, LeaveVerdict::OutOfRange},
        {"6/1/2001", us, dec31, jan1, LeaveVerdict::OutOfRange}, // bounds the wrong way round
        {"12/31/1600", us, vq::dates::defaultMinDate(), vq::dates::defaultMaxDate(),
            LeaveVerdict::OutOfRange},
    };
    for (const Case &c : cases) {
        const vq::dates::LeaveCheck check = vq::dates::checkLeavingText(c.text, c.min, c.max, c.locale);
        EXPECT_EQ(check.text, c.text.trimmed());
        EXPECT_EQ(int(check.verdict), int(c.verdict))
            << c.text.toStdString() << " " << c.locale.name().toStdString();
    }
}

TEST(DateLeaveCheck, TheWarningNamesBothBoundsInTheLocalesShortDateForm)
{
    const QDateTime min = vq::dates::defaultMinDate(), max = vq::dates::defaultMaxDate();
    EXPECT_EQ(vq::dates::rangeWarning(min, max, QLocale(QLocale::English, QLocale::UnitedStates)),
        "Date Should be between [1/1/1601] And [12/31/9999]");
    EXPECT_EQ(vq::dates::rangeWarning(day(2001, 1, 1), day(2001, 12, 31, 18), QLocale(QLocale::German)),
        "Date Should be between [01.01.2001] And [31.12.2001 18:00:00]");
}

} // namespace
