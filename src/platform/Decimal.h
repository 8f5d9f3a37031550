#pragma once

#include <QByteArray>
#include <QString>

namespace vq {

// A number held as its decimal digits, so that pictures round what the user typed rather than the
// nearest binary double (1.005 stays 1.005 and long digit strings keep every digit).
// The value is 0.d1d2d3... × 10^pointPos, negated when `negative`.
class Decimal
{
public:
    Decimal() = default;

    // From separate digit runs (ASCII '0'..'9') and a power-of-ten exponent; normalises leading and
    // trailing zeros. An exponent far beyond any double's range is clamped (still infinite or zero).
    static Decimal fromParts(
        bool negative, QByteArrayView integerDigits, QByteArrayView fractionDigits, qint64 exponent = 0);
    // The shortest digits that read back as `value` (which must be finite).
    static Decimal fromDouble(double value);

    bool isNegative() const { return m_negative; }
    bool isZero() const { return m_digits.isEmpty(); }
    Decimal magnitude() const;

    // Multiplies by 10^places.
    void shift(qint64 places);
    // Rounds to `decimals` places after the point, halves away from zero.
    void roundToDecimals(qint64 decimals);
    // The power of ten of the leading digit plus one (1234.5 gives 4, 0.05 gives -1); 0 for zero.
    qint64 pointPosition() const { return m_pointPos; }

    // The digits before the point without leading zeros; empty when the magnitude is below one.
    QByteArray integerDigits() const;
    // The first `count` digits after the point, padded with zeros.
    QByteArray fractionDigits(qsizetype count) const;

    // The nearest double; infinite when out of range.
    double toDouble() const;

private:
    void normalise();

    bool m_negative = false;
    QByteArray m_digits; // significant digits only: no leading or trailing zeros; empty for zero
    qint64 m_pointPos = 0;
};

} // namespace vq
