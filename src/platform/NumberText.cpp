#include "platform/NumberText.h"

#include "platform/Decimal.h"
#include "platform/Error.h"
#include "platform/FormatPicture.h"

#include <cmath>
#include <optional>

namespace vq {

namespace {

constexpr qint64 ExponentLimit = qint64(1) << 40;

// Appends the exponent digit `digit` without letting absurd exponents overflow.
qint64 addExponentDigit(qint64 exponent, int digit)
{
    return exponent >= ExponentLimit ? exponent : exponent * 10 + digit;
}

bool matchesAt(const QString &text, qsizetype i, const QString &token)
{
    return !token.isEmpty() && QStringView(text).mid(i).startsWith(token);
}

// Any Unicode decimal digit counts, so that locales with their own digits read too.
int digitAt(const QString &text, qsizetype i)
{
    return i < text.size() && text.at(i).isDigit() ? text.at(i).digitValue() : -1;
}

// The strict reading under a locale. Group separators are accepted only where they belong (between
// groups of three digits in the integer part), so that under a locale that groups with a full stop
// "1.5" is refused rather than silently read as fifteen.
std::optional<Decimal> readLocaleNumber(const QString &input, const QLocale &locale)
{
    const QString text = input.trimmed();
    const qsizetype n = text.size();
    qsizetype i = 0;

    bool negative = false;
    if (matchesAt(text, i, locale.negativeSign())) {
        negative = true;
        i += locale.negativeSign().size();
    } else if (matchesAt(text, i, locale.positiveSign())) {
        i += locale.positiveSign().size();
    } else if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }

    const QString point = locale.decimalPoint();
    QString group = locale.groupSeparator();
    if (group == point)
        group.clear();
    // Locales that group with a (narrow) no-break space get a plain space typed instead.
    const bool spaceGroups = group.size() == 1 && group.at(0).isSpace();

    QByteArray integer, fraction;
    qsizetype groupLength = 0;
    bool grouped = false;
    while (i < n) {
        if (const int digit = digitAt(text, i); digit >= 0) {
            integer.append(char('0' + digit));
            ++groupLength;
            ++i;
            continue;
        }
        const bool isGroup = matchesAt(text, i, group) || (spaceGroups && text.at(i).isSpace());
        if (!isGroup)
            break;
        if (groupLength == 0 || (grouped ? groupLength != 3 : groupLength > 3))
            return std::nullopt;
        grouped = true;
        groupLength = 0;
        i += spaceGroups ? 1 : group.size();
    }
    if (grouped && groupLength != 3)
        return std::nullopt;

    if (matchesAt(text, i, point)) {
        i += point.size();
        while (digitAt(text, i) >= 0)
            fraction.append(char('0' + digitAt(text, i++)));
    }
    if (integer.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    qint64 exponent = 0;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
            negativeExponent = text.at(i++) == QLatin1Char('-');
        if (digitAt(text, i) < 0)
            return std::nullopt;
        while (digitAt(text, i) >= 0)
            exponent = addExponentDigit(exponent, digitAt(text, i++));
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    Decimal value = Decimal::fromParts(negative, integer, fraction, exponent);
    // Beyond a double's range the text names no number this platform can hold.
    if (!std::isfinite(value.toDouble()))
        return std::nullopt;
    return value;
}

[[noreturn]] void overflow()
{
    throw Error(Error::Overflow);
}

double readRadix(QStringView digits, int radix)
{
    double value = 0;
    for (const QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.digitValue()
            : c.unicode() < 128 && c.isLetter()            ? c.toUpper().unicode() - 'A' + 10
                                                           : radix;
        if (digit >= radix)
            break;
        value = value * radix + digit;
    }
    if (!std::isfinite(value))
        overflow();
    return value;
}

} // namespace

QString formatNumberText(const QString &text, const QString &picture, const QLocale &locale)
{
    const std::optional<Decimal> value = readLocaleNumber(text, locale);
    if (!value)
        return text;
    return FormatPicture(picture).apply(*value, locale);
}

QString formatNumber(double value, const QString &picture, const QLocale &locale)
{
    if (!std::isfinite(value))
        throw Error(Error::InvalidProcedureCall);
    return FormatPicture(picture).apply(Decimal::fromDouble(value), locale);
}

bool readsAsNumber(const QString &text, const QLocale &locale, double *value)
{
    const std::optional<Decimal> number = readLocaleNumber(text, locale);
    if (number && value)
        *value = number->toDouble();
    return number.has_value();
}

double val(const QString &text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            compact += c;
    }
    const qsizetype n = compact.size();
    auto at = [&](qsizetype i) { return i < n ? compact.at(i).toUpper() : QChar(); };
    auto ascii = [&](qsizetype i) {
        return i < n && compact.at(i) >= QLatin1Char('0') && compact.at(i) <= QLatin1Char('9');
    };

    if (at(0) == QLatin1Char('&')) {
        if (at(1) == QLatin1Char('H'))
            return readRadix(QStringView(compact).mid(2), 16);
        if (at(1) == QLatin1Char('O'))
            return readRadix(QStringView(compact).mid(2), 8);
        return 0;
    }

    qsizetype i = 0;
    bool negative = false;
    if (at(i) == QLatin1Char('-') || at(i) == QLatin1Char('+'))
        negative = compact.at(i++) == QLatin1Char('-');
    QByteArray integer, fraction;
    while (ascii(i))
        integer.append(char(compact.at(i++).unicode()));
    if (at(i) == QLatin1Char('.')) {
        ++i;
        while (ascii(i))
            fraction.append(char(compact.at(i++).unicode()));
    }
    qint64 exponent = 0;
    if ((!integer.isEmpty() || !fraction.isEmpty()) &&
        (at(i) == QLatin1Char('E') || at(i) == QLatin1Char('D'))) {
        // An exponent mark without digits is simply where the number ends.
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (at(j) == QLatin1Char('-') || at(j) == QLatin1Char('+'))
            negativeExponent = compact.at(j++) == QLatin1Char('-');
        while (ascii(j))
            exponent = addExponentDigit(exponent, compact.at(j++).unicode() - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    const double value = Decimal::fromParts(negative, integer, fraction, exponent).toDouble();
    if (!std::isfinite(value))
        overflow();
    return value;
}

QString numberToText(double value, const QLocale &locale)
{
    if (value == 0)
        return QStringLiteral("0");
    // Written in the C locale (ASCII digits and minus), then given the locale's decimal symbol, so that
    // the text reads back both under the locale and through val().
    const double magnitude = std::fabs(value);
    QString text;
    if (magnitude >= 1e15 || magnitude < 1e-4) {
        // Scientific form as the platform writes it: upper-case E, signed two-digit exponent.
        const QString scientific = QString::number(value, 'e', QLocale::FloatingPointShortest);
        const qsizetype e = scientific.indexOf(QLatin1Char('e'));
        const int exponent = scientific.mid(e + 1).toInt();
        text = QStringLiteral("%1E%2%3")
                   .arg(scientific.left(e), exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                   .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    } else {
        text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    }
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

} // namespace vq
