#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vq {

namespace detail {
// For each number of four digits (0 to 9999): its trailing zeros (0 to 4, zero having four) in the low three
// bits, the number without them above.
extern const std::array<quint32, 10000> FewPlacesEnds;
inline constexpr quint32 ExactTenPowers[] = {1, 10, 100, 1000, 10000};
} // namespace detail

// The automation decimal: a 96-bit unsigned whole number (the mantissa), a scale of 0 to 28 (the power of
// ten the mantissa is divided by) and a sign. It holds 28 or 29 significant digits, magnitudes up to
// 79228162514264337593543950335 (2^96 - 1) and steps down to 1E-28, exactly: 0.1 is one tenth and
// 9007199254740993 (2^53 + 1) stays odd, which no double can do.
//
// A value keeps the scale it was made with (12.50 has scale 2), but the scale is not part of its value:
// 12.5 == 12.50, and texts drop the fraction's trailing zeros. Zero has no sign.
//
// Plain data of 16 bytes. In a QVariant it converts to double (the nearest), QString (the invariant text)
// and qlonglong (rounded, halves away from zero, clamped to the 64-bit range).
class AutomationDecimal
{
public:
    static constexpr int MaxScale = 28;

    // What happens to digits beyond those the type holds.
    enum class Rounding {
        HalfAwayFromZero, // rounded at the last place that fits, halves away from zero
        TowardZero, // cut off: the value of the type nearest the text without passing it
    };

    AutomationDecimal() = default; // zero

    static AutomationDecimal fromInteger(qint64 value);
    // From a mantissa given as its high 32 and low 64 bits, a scale and a sign; nullopt for a scale outside
    // 0..28.
    static std::optional<AutomationDecimal> fromParts(quint32 hi, quint64 lo, int scale, bool negative);
    // The double's shortest round-trip digits (0.1 gives 0.1, not the binary value's 55 digits), so that
    // toDouble() gives the double back; nullopt where those digits do not fit: NaN, infinities, magnitudes
    // from 2^96 on and digits beyond the 28th place after the point (1E-30).
    static std::optional<AutomationDecimal> fromDouble(double value);
    // fromDouble's common case, inline and without branches on the digits, for a fetch that converts a
    // value a row: a double of at most four places whose digits, without the point, stay below 2^50
    // (magnitudes up to about 1.1E11), as nearly every stored amount is. Gives those digits as a signed
    // whole number and their places (the fewest, 0 to 4), as fromDouble does; false, with nothing
    // written, for any other double.
    static bool fromFewPlaces(double value, qint64 *mantissa, int *scale)
    {
        const double magnitude = value < 0 ? -value : value;
        const double scaled = magnitude * 1e4;
        if (!(scaled < 0x1p50)) // NaN too
            return false;
        // Adding a half and cutting off finds the nearest whole number of ten-thousandths; the double's
        // digits are its digits only when it divides back to the double exactly (below 2^50, no other
        // number of ten-thousandths does).
        const qint64 whole = qint64(scaled + 0.5);
        if (double(whole) / 1e4 != magnitude)
            return false;
        // Its trailing zeros (up to four) are places the value does not need. They lie in its last four
        // digits, whose table entry gives them and those digits without them.
        const quint64 high = quint64(whole) / 10000;
        const quint32 end = detail::FewPlacesEnds[quint64(whole) - high * 10000];
        const int zeros = int(end & 7);
        const quint64 digits = high * quint64(detail::ExactTenPowers[4 - zeros]) + (end >> 3);
        *mantissa = value < 0 ? -qint64(digits) : qint64(digits);
        *scale = digits == 0 ? 0 : 4 - zeros;
        return true;
    }

    // Reads a number in the invariant form that drivers deliver: an optional sign, digits with an optional
    // full stop ("12.50", "-.5", "7."), an optional exponent ("1.5E-3", "2e+4"). No blanks, no group
    // separators, at least one digit. Digits beyond those the type holds (more than 28 places after the
    // point, or more than 29 significant digits) are rounded or cut off as `rounding` says, at the last
    // place that fits. *exact (when given) tells whether the value is the text's exactly.
    // nullopt for anything else, and when rounding for a magnitude of 2^96 or more; when cutting off, such
    // a magnitude gives the largest value of its sign (not exact), which still orders right against every
    // value of the type.
    static std::optional<AutomationDecimal> fromText(
        std::string_view text, Rounding rounding = Rounding::HalfAwayFromZero, bool *exact = nullptr);

    bool isZero() const { return m_lo == 0 && m_hi == 0; }
    bool isNegative() const { return m_negative; }
    int scale() const { return m_scale; }
    quint32 hi() const { return m_hi; }
    quint64 lo() const { return m_lo; }
    // The mantissa's significant digits (1 for zero).
    int digitCount() const;

    // The nearest double (correctly rounded, so fromDouble(x)->toDouble() == x).
    double toDouble() const;
    // Rounded to a whole number, halves away from zero, clamped to the 64-bit range.
    qint64 toLongLong() const;
    // "-1234.5": ASCII digits and minus, a full stop, no grouping and no exponent; the fraction's trailing
    // zeros (and a point left bare) are dropped.
    std::string toInvariantText() const;
    // The text a value is shown with: the invariant text with the locale's decimal symbol, so that it
    // reads back under the locale, as number texts of doubles do.
    QString toText(const QLocale &locale = QLocale()) const;

    // -1, 0 or 1 as a is less than, equal to or greater than b.
    static int compare(const AutomationDecimal &a, const AutomationDecimal &b);

    // An unsigned key in the values' order: a < b gives key(a) <= key(b), and equal values give equal
    // keys. Values that agree in their first 17 significant digits may share a key (a radix sort on it then
    // needs compare for runs of equal keys); *exact (when given) is cleared when this value has digits the
    // key does not hold. Never 0 (which callers keep for nulls); zero is 2^63.
    quint64 orderKey(bool *exact = nullptr) const;
    // The same key for a value given as a mantissa below 10^17, a scale and a sign, without making it.
    static quint64 orderKey(quint64 mantissa, int scale, bool negative);

    friend bool operator==(const AutomationDecimal &a, const AutomationDecimal &b)
    {
        return compare(a, b) == 0;
    }
    friend bool operator<(const AutomationDecimal &a, const AutomationDecimal &b)
    {
        return compare(a, b) < 0;
    }

private:
    quint64 m_lo = 0;
    quint32 m_hi = 0;
    quint8 m_scale = 0;
    bool m_negative = false;
};

} // namespace vq

Q_DECLARE_METATYPE(vq::AutomationDecimal)
