#include "platform/Decimal.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vq {

namespace {

// Far enough outside a double's range (about 1e-324 to 1e308) to keep its meaning, small enough that
// arithmetic on it never overflows.
constexpr qint64 PointLimit = qint64(1) << 40;

qint64 clampPoint(qint64 position)
{
    return std::clamp(position, -PointLimit, PointLimit);
}

} // namespace

Decimal Decimal::fromParts(
    bool negative, QByteArrayView integerDigits, QByteArrayView fractionDigits, qint64 exponent)
{
    Decimal d;
    d.m_negative = negative;
    d.m_digits.reserve(integerDigits.size() + fractionDigits.size());
    d.m_digits.append(integerDigits);
    d.m_digits.append(fractionDigits);
    d.m_pointPos = clampPoint(integerDigits.size() + clampPoint(exponent));
    d.normalise();
    return d;
}

Decimal Decimal::fromDouble(double value)
{
    Decimal d;
    d.m_negative = std::signbit(value);
    if (value == 0)
        return d;
    // "d.ddddde±x": shortest round-trip digits in scientific form, locale-free.
    const QByteArray text = QByteArray::number(std::fabs(value), 'e', QLocale::FloatingPointShortest);
    const qsizetype e = text.indexOf('e');
    const QByteArray mantissa = text.left(e);
    const qsizetype point = mantissa.indexOf('.');
    d.m_digits = point < 0 ? mantissa : mantissa.left(point) + mantissa.mid(point + 1);
    d.m_pointPos = text.mid(e + 1).toLongLong() + 1;
    d.normalise();
    return d;
}

Decimal Decimal::magnitude() const
{
    Decimal d = *this;
    d.m_negative = false;
    return d;
}

void Decimal::normalise()
{
    qsizetype lead = 0;
    while (lead < m_digits.size() && m_digits.at(lead) == '0')
        ++lead;
    m_digits.remove(0, lead);
    m_pointPos -= lead;
    qsizetype end = m_digits.size();
    while (end > 0 && m_digits.at(end - 1) == '0')
        --end;
    m_digits.truncate(end);
    if (m_digits.isEmpty())
        m_pointPos = 0;
}

void Decimal::shift(qint64 places)
{
    if (!isZero())
        m_pointPos = clampPoint(m_pointPos + clampPoint(places));
}

void Decimal::roundToDecimals(qint64 decimals)
{
    if (isZero())
        return;
    const qint64 kept = m_pointPos + clampPoint(decimals);
    if (kept >= m_digits.size())
        return;
    if (kept < 0) {
        m_digits.clear();
        m_pointPos = 0;
        return;
    }
    const bool up = m_digits.at(kept) >= '5';
    m_digits.truncate(kept);
    if (up) {
        // Carry: trailing nines become zeros (dropped, as trailing zeros are not kept).
        while (!m_digits.isEmpty() && m_digits.back() == '9')
            m_digits.chop(1);
        if (m_digits.isEmpty()) {
            m_digits = "1";
            ++m_pointPos;
            return;
        }
        ++m_digits.back();
        return;
    }
    normalise();
}

QByteArray Decimal::integerDigits() const
{
    if (m_pointPos <= 0)
        return {};
    QByteArray result = m_digits.left(m_pointPos);
    if (result.size() < m_pointPos)
        result.append(QByteArray(m_pointPos - result.size(), '0'));
    return result;
}

QByteArray Decimal::fractionDigits(qsizetype count) const
{
    QByteArray result;
    result.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 index = m_pointPos + i;
        result.append(index >= 0 && index < m_digits.size() ? m_digits.at(index) : '0');
    }
    return result;
}

double Decimal::toDouble() const
{
    if (isZero())
        return m_negative ? -0.0 : 0.0;
    const double huge = std::numeric_limits<double>::infinity();
    if (m_pointPos > 400)
        return m_negative ? -huge : huge;
    if (m_pointPos < -400)
        return m_negative ? -0.0 : 0.0;
    const QByteArray text = (m_negative ? "-0." : "0.") + m_digits + 'e' + QByteArray::number(m_pointPos);
    // On overflow Qt still hands back the infinity, which is what callers test for.
    return text.toDouble();
}

} // namespace vq
