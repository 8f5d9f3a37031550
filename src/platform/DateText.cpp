#include "platform/DateText.h"

#include "platform/AutomationDate.h"
#include "platform/Error.h"

#include <QRegularExpression>

namespace vq {

namespace {

// Order of day, month and year in the locale's short date form, as three letters such as "mdy".
QString dateOrder(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString order;
    for (const QChar c : format) {
        const QChar k = c == QLatin1Char('M') ? QLatin1Char('m') : c;
        if ((k == QLatin1Char('d') || k == QLatin1Char('m') || k == QLatin1Char('y')) && !order.contains(k))
            order += k;
    }
    return order.size() == 3 ? order : QStringLiteral("mdy");
}

int monthFromName(const QString &name, const QLocale &locale)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QLocale *l : {&locale, &english}) {
        for (int m = 1; m <= 12; ++m) {
            if (name.compare(l->monthName(m, QLocale::LongFormat), Qt::CaseInsensitive) == 0 ||
                name.compare(l->monthName(m, QLocale::ShortFormat), Qt::CaseInsensitive) == 0 ||
                name.compare(l->standaloneMonthName(m, QLocale::ShortFormat), Qt::CaseInsensitive) == 0)
                return m;
        }
    }
    return 0;
}

int fullYear(const QString &token)
{
    const int y = token.toInt();
    if (token.size() <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

std::optional<QDate> readDatePart(const QString &text, const QLocale &locale)
{
    static const QRegularExpression separators(QStringLiteral("[\\s/\\-.,]+"));
    const QStringList tokens = text.split(separators, Qt::SkipEmptyParts);
    if (tokens.size() < 2 || tokens.size() > 3)
        return std::nullopt;

    QStringList numbers;
    int namedMonth = 0;
    for (int i = 0; i < tokens.size(); ++i) {
        const QString &t = tokens[i];
        bool digits = !t.isEmpty() && t.size() <= 4;
        for (const QChar c : t)
            digits = digits && c.isDigit();
        if (digits) {
            numbers << t;
        } else if (namedMonth == 0 && (namedMonth = monthFromName(t, locale)) != 0) {
        } else {
            return std::nullopt;
        }
    }

    int year = QDate::currentDate().year();
    int month = 0;
    int day = 0;
    if (namedMonth) {
        month = namedMonth;
        if (numbers.size() == 1) {
            day = numbers[0].toInt();
        } else if (numbers.size() == 2) {
            // The year is the number that cannot be a day; otherwise the day comes first.
            int yearIndex = 1;
            if (numbers[0].size() > 2 || numbers[0].toInt() > 31)
                yearIndex = 0;
            day = numbers[1 - yearIndex].toInt();
            year = fullYear(numbers[yearIndex]);
        } else {
            return std::nullopt;
        }
    } else if (numbers.size() == 3) {
        QString order = dateOrder(locale);
        if (numbers[0].size() > 2)
            order = QStringLiteral("ymd");
        for (int i = 0; i < 3; ++i) {
            if (order[i] == QLatin1Char('d'))
                day = numbers[i].toInt();
            else if (order[i] == QLatin1Char('m'))
                month = numbers[i].toInt();
            else
                year = fullYear(numbers[i]);
        }
    } else {
        const QString order = dateOrder(locale).remove(QLatin1Char('y'));
        if (numbers[0].size() > 2 || numbers[1].size() > 2)
            return std::nullopt;
        day = numbers[order.indexOf(QLatin1Char('d'))].toInt();
        month = numbers[order.indexOf(QLatin1Char('m'))].toInt();
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QDateTime> textToDate(const QString &text, const QLocale &locale)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;

    static const QRegularExpression timePattern(
        QStringLiteral(
            "(?:^|[\\sT])(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,3})\\d*)?)?\\s*([^\\d\\s:.]*)$"),
        QRegularExpression::CaseInsensitiveOption);
    QTime time(0, 0);
    const QRegularExpressionMatch m = timePattern.match(s);
    bool hasTime = false;
    if (m.hasMatch()) {
        int hour = m.captured(1).toInt();
        const int minute = m.captured(2).toInt();
        const int second = m.captured(3).toInt();
        const int msec =
            m.captured(4).isEmpty() ? 0 : m.captured(4).leftJustified(3, QLatin1Char('0')).toInt();
        const QString suffix = m.captured(5);
        if (!suffix.isEmpty()) {
            const bool pm = suffix.compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0 ||
                suffix.compare(QLatin1String("p"), Qt::CaseInsensitive) == 0 ||
                suffix.compare(locale.pmText(), Qt::CaseInsensitive) == 0;
            const bool am = suffix.compare(QLatin1String("am"), Qt::CaseInsensitive) == 0 ||
                suffix.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0 ||
                suffix.compare(locale.amText(), Qt::CaseInsensitive) == 0;
            if ((!am && !pm) || hour < 1 || hour > 12)
                return std::nullopt;
            hour = (hour % 12) + (pm ? 12 : 0);
        }
        time = QTime(hour, minute, second, msec);
        if (!time.isValid())
            return std::nullopt;
        hasTime = true;
        s = s.left(m.capturedStart(0)).trimmed();
        if (s.endsWith(QLatin1Char(',')))
            s.chop(1);
    }

    if (s.isEmpty()) {
        if (!hasTime)
            return std::nullopt;
        return AutomationDate::fromDateAndTime(AutomationDate().date(), time).toDateTime();
    }
    const std::optional<QDate> date = readDatePart(s, locale);
    if (!date)
        return std::nullopt;
    return QDateTime(*date, time, Qt::UTC);
}

bool isDate(const QString &text, const QLocale &locale)
{
    return textToDate(text, locale).has_value();
}

QDateTime toDate(const QString &text, const QLocale &locale)
{
    const std::optional<QDateTime> date = textToDate(text, locale);
    if (!date)
        throw Error(Error::TypeMismatch);
    return *date;
}

QString shortDateFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString longTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the time-zone designators: stored times are zone-less.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    format.replace(zone, QString());
    return format.trimmed();
}

QString dateToText(const QDateTime &dateTime, const QLocale &locale)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const bool midnight = !time.isValid() || time.msecsSinceStartOfDay() == 0;
    if (date == AutomationDate().date() && !midnight)
        return locale.toString(time, longTimeFormat(locale));
    QString text = locale.toString(date, shortDateFormat(locale));
    if (!midnight)
        text += QLatin1Char(' ') + locale.toString(time, longTimeFormat(locale));
    return text;
}

QString dateToText(const QDate &date, const QLocale &locale)
{
    return locale.toString(date, shortDateFormat(locale));
}

} // namespace vq
