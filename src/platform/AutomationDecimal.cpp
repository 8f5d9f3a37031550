#include "platform/AutomationDecimal.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vq {

constexpr std::array<quint32, 10000> detail::FewPlacesEnds = [] {
    std::array<quint32, 10000> ends {};
    for (quint32 n = 0; n < ends.size(); ++n) {
        quint32 digits = n;
        quint32 zeros = n == 0 ? 4 : 0;
        while (digits != 0 && digits % 10 == 0) {
            digits /= 10;
            ++zeros;
        }
        ends[n] = digits << 3 | zeros;
    }
    return ends;
}();

namespace {

__extension__ using u128 = unsigned __int128;

constexpr u128 MaxMantissa = (u128(1) << 96) - 1;
// Significant digits kept while reading: the type holds 29, one more decides the rounding; any further
// non-zero digit only counts as "not exact".
constexpr int KeptDigits = 31;

constexpr std::array<u128, 39> Pow10 = [] {
    std::array<u128, 39> p {};
    p[0] = 1;
    for (size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

int digitsOf(u128 m)
{
    if (m >> 64 == 0) {
        // From the bit length: log10(2) is about 1233 / 4096.
        const quint64 x = quint64(m) | 1;
        const int t = ((64 - __builtin_clzll(x)) * 1233) >> 12;
        return t + 1 - (x < quint64(Pow10[size_t(t)]) ? 1 : 0);
    }
    int d = 20;
    while (d < 39 && m >= Pow10[size_t(d)])
        ++d;
    return d;
}

// Powers of ten that doubles hold exactly.
constexpr double ExactPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13,
    1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

u128 mantissaOf(const AutomationDecimal &d)
{
    return (u128(d.hi()) << 64) | d.lo();
}

AutomationDecimal make(u128 mantissa, int scale, bool negative)
{
    return *AutomationDecimal::fromParts(
        quint32(mantissa >> 64), quint64(mantissa), mantissa == 0 ? 0 : scale, negative && mantissa != 0);
}

} // namespace

AutomationDecimal AutomationDecimal::fromInteger(qint64 value)
{
    AutomationDecimal d;
    d.m_lo = value < 0 ? 0 - quint64(value) : quint64(value);
    d.m_negative = value < 0;
    return d;
}

std::optional<AutomationDecimal> AutomationDecimal::fromParts(
    quint32 hi, quint64 lo, int scale, bool negative)
{
    if (scale < 0 || scale > MaxScale)
        return std::nullopt;
    AutomationDecimal d;
    d.m_hi = hi;
    d.m_lo = lo;
    d.m_scale = quint8(scale);
    d.m_negative = negative && (hi != 0 || lo != 0);
    return d;
}

std::optional<AutomationDecimal> AutomationDecimal::fromDouble(double value)
{
    qint64 few = 0;
    int fewScale = 0;
    if (fromFewPlaces(value, &few, &fewScale))
        return *fromParts(0, few < 0 ? 0 - quint64(few) : quint64(few), fewScale, few < 0);
    const double magnitude = std::fabs(value);
    if (!(magnitude < 79228162514264337593543950336.0)) // NaN too
        return std::nullopt;
    AutomationDecimal d;
    d.m_negative = value < 0;
    // Whole numbers (from 2^50 / 10^4 on, the smaller ones have few places) while every whole number is a
    // double: from 2^53 on, the double's shortest digits may end in zeros its binary value does not have.
    if (magnitude < 0x1p53) {
        const quint64 whole = quint64(magnitude);
        if (double(whole) == magnitude) {
            d.m_lo = whole;
            return d;
        }
    }
    // The fewest places whose whole number divides back to the double exactly, as fromFewPlaces finds
    // them. Below 2^50 that number is the only one of its scale that does, so it has the shortest digits,
    // as the general way below finds them. A value below 2^50 ten-thousandths that fromFewPlaces refused
    // has more than four places; a larger one may have fewer.
    const auto dividesBack = [magnitude](int scale, quint64 *whole) {
        const double scaled = magnitude * ExactPowers[scale];
        if (scaled >= 0x1p50)
            return -1;
        *whole = quint64(scaled + 0.5);
        return double(*whole) / ExactPowers[scale] == magnitude ? 1 : 0;
    };
    quint64 whole = 0;
    int found = 0;
    int scale = magnitude * 1e4 < 0x1p50 ? 5 : 1;
    for (; scale <= 22 && found == 0; ++scale)
        found = dividesBack(scale, &whole);
    --scale;
    if (found == 1) {
        d.m_lo = whole;
        d.m_scale = quint8(scale);
        return d;
    }
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    bool exact = false;
    const auto read =
        fromText(std::string_view(buffer, size_t(r.ptr - buffer)), Rounding::HalfAwayFromZero, &exact);
    return exact ? read : std::nullopt;
}

std::optional<AutomationDecimal> AutomationDecimal::fromText(
    std::string_view text, Rounding rounding, bool *exact)
{
    size_t i = 0;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';

    // The value is 0.d1d2d3... x 10^point, d1 the first non-zero digit.
    char kept[KeptDigits];
    int count = 0;
    bool restNonZero = false; // a non-zero digit beyond those kept
    qint64 point = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        anyDigit = true;
        if (count == 0 && c == '0') {
            if (afterPoint)
                --point; // a zero between the point and the first significant digit
            continue;
        }
        if (!afterPoint)
            ++point;
        if (count < KeptDigits)
            kept[count++] = c;
        else if (c != '0')
            restNonZero = true;
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '-' || text[i] == '+'))
            negativeExponent = text[i++] == '-';
        const size_t first = i;
        qint64 exponent = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            exponent = std::min<qint64>(exponent * 10 + (text[i] - '0'), 1000000);
        if (i == first)
            return std::nullopt;
        point += negativeExponent ? -exponent : exponent;
    }
    if (i != n)
        return std::nullopt;

    if (exact)
        *exact = true;
    if (count == 0)
        return AutomationDecimal();
    auto overflow = [&]() -> std::optional<AutomationDecimal> {
        if (rounding == Rounding::HalfAwayFromZero)
            return std::nullopt;
        if (exact)
            *exact = false;
        return make(MaxMantissa, 0, negative);
    };
    if (point > 29)
        return overflow();

    // Keep as many leading digits as the scale limit and the 96 bits allow.
    qint64 keep = std::min<qint64>(count, MaxScale + point);
    bool cutByWidth = false;
    u128 mantissa = 0;
    for (qint64 k = 0; k < keep; ++k)
        mantissa = mantissa * 10 + u128(kept[k] - '0');
    while (mantissa > MaxMantissa) { // above 2^96 - 1: one digit fewer
        mantissa /= 10;
        --keep;
        cutByWidth = true;
    }
    if (keep < point && keep < count) // whole digits that do not fit
        return overflow();
    int scale = 0;
    if (keep >= 0 && keep >= point) {
        scale = int(keep - point);
    } else if (keep >= 0) { // whole digits short of the point: zeros follow
        mantissa *= Pow10[size_t(point - keep)];
        if (mantissa > MaxMantissa)
            return overflow();
    }
    const qint64 dropped = std::max<qint64>(keep, 0);
    const int firstDropped = dropped < count && keep >= 0 ? kept[dropped] - '0' : 0;
    bool droppedNonZero = restNonZero;
    for (qint64 k = dropped; k < count && !droppedNonZero; ++k)
        droppedNonZero = kept[k] != '0';
    if (exact)
        *exact = !droppedNonZero;
    if (keep < 0)
        scale = MaxScale; // every digit lies beyond the 28th place

    if (droppedNonZero && rounding == Rounding::HalfAwayFromZero && firstDropped >= 5) {
        ++mantissa;
        if (mantissa > MaxMantissa) {
            if (scale == 0)
                return std::nullopt;
            mantissa = (mantissa + 5) / 10;
            --scale;
        }
    } else if (droppedNonZero && cutByWidth && scale < MaxScale && mantissa * 10 < MaxMantissa) {
        // Cut off to 28 digits because 29 do not fit, the largest mantissa one place further on still
        // lies between: 7922816251426433759354395033.9 cut off is ...033.5, not ...033.
        mantissa = MaxMantissa;
        ++scale;
    }
    return make(mantissa, scale, negative);
}

int AutomationDecimal::digitCount() const
{
    return digitsOf(mantissaOf(*this));
}

double AutomationDecimal::toDouble() const
{
    const u128 m = mantissaOf(*this);
    // Both operands exact as doubles: one correctly rounded division.
    if (m < (u128(1) << 53) && m_scale <= 22) {
        const double v = double(quint64(m)) / ExactPowers[m_scale];
        return m_negative ? -v : v;
    }
    return std::strtod(toInvariantText().c_str(), nullptr);
}

qint64 AutomationDecimal::toLongLong() const
{
    u128 m = mantissaOf(*this);
    if (m_scale > 0) {
        const u128 unit = Pow10[m_scale];
        const bool up = m % unit >= unit / 2;
        m = m / unit + (up ? 1 : 0);
    }
    if (m_negative)
        return m > u128(std::numeric_limits<qint64>::max()) + 1 ? std::numeric_limits<qint64>::min()
                                                                : qint64(0 - quint64(m));
    return m > u128(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max() : qint64(m);
}

std::string AutomationDecimal::toInvariantText() const
{
    char digits[40];
    int count = 0;
    u128 m = mantissaOf(*this);
    do {
        digits[count++] = char('0' + int(m % 10));
        m /= 10;
    } while (m != 0);
    // digits holds the mantissa backwards; places below the first non-zero fraction digit are dropped.
    int skip = 0;
    while (skip < m_scale && skip < count && digits[skip] == '0')
        ++skip;
    const int fraction = m_scale - skip;
    std::string text;
    text.reserve(size_t(count + m_scale + 3));
    if (m_negative)
        text.push_back('-');
    if (count <= m_scale) {
        text.push_back('0');
    } else {
        for (int k = count - 1; k >= m_scale; --k)
            text.push_back(digits[k]);
    }
    if (fraction > 0) {
        text.push_back('.');
        for (int k = m_scale - 1; k >= skip; --k)
            text.push_back(k < count ? digits[k] : '0');
    }
    return text;
}

QString AutomationDecimal::toText(const QLocale &locale) const
{
    QString text = QString::fromLatin1(toInvariantText());
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

int AutomationDecimal::compare(const AutomationDecimal &a, const AutomationDecimal &b)
{
    const int sa = a.isZero() ? 0 : (a.m_negative ? -1 : 1);
    const int sb = b.isZero() ? 0 : (b.m_negative ? -1 : 1);
    if (sa != sb || sa == 0)
        return sa < sb ? -1 : (sa > sb ? 1 : 0);
    u128 ma = mantissaOf(a);
    u128 mb = mantissaOf(b);
    // The same scale for both; a mantissa too large to scale up is the larger one (the other is below
    // 2^96).
    int magnitude = 0;
    if (a.m_scale < b.m_scale) {
        const u128 factor = Pow10[size_t(b.m_scale - a.m_scale)];
        magnitude = ma > std::numeric_limits<u128>::max() / factor ? 1 : 0;
        ma *= factor;
    } else if (b.m_scale < a.m_scale) {
        const u128 factor = Pow10[size_t(a.m_scale - b.m_scale)];
        magnitude = mb > std::numeric_limits<u128>::max() / factor ? -1 : 0;
        mb *= factor;
    }
    if (magnitude == 0)
        magnitude = ma < mb ? -1 : (mb < ma ? 1 : 0);
    return sa * magnitude;
}

quint64 AutomationDecimal::orderKey(bool *exact) const
{
    const u128 m = mantissaOf(*this);
    const int digits = digitsOf(m);
    if (digits <= 17)
        return orderKey(quint64(m), m_scale, m_negative);
    if (exact && m % Pow10[size_t(digits - 17)] != 0)
        *exact = false;
    const quint64 key = (quint64(1) << 63) | (quint64(digits - m_scale + MaxScale) << 57) |
        quint64(m / Pow10[size_t(digits - 17)]);
    return m_negative ? ~key : key;
}

quint64 AutomationDecimal::orderKey(quint64 mantissa, int scale, bool negative)
{
    constexpr quint64 Zero = quint64(1) << 63;
    if (mantissa == 0)
        return Zero;
    // The first 17 significant digits (10^16 <= leading < 10^17 < 2^57) below the power of ten of the
    // leading digit (-27 to 29, biased to 1..57 in six bits): larger magnitudes, larger keys.
    const int digits = digitsOf(mantissa);
    const quint64 key =
        Zero | (quint64(digits - scale + MaxScale) << 57) | mantissa * quint64(Pow10[size_t(17 - digits)]);
    return negative ? ~key : key;
}

namespace {

// QVariant's conversions, registered when the library loads.
[[maybe_unused]] const bool conversionsRegistered = [] {
    QMetaType::registerConverter<AutomationDecimal, double>(&AutomationDecimal::toDouble);
    QMetaType::registerConverter<AutomationDecimal, qlonglong>(&AutomationDecimal::toLongLong);
    QMetaType::registerConverter<AutomationDecimal, QString>(
        [](const AutomationDecimal &d) { return QString::fromLatin1(d.toInvariantText()); });
    return true;
}();

} // namespace

} // namespace vq
