#include "platform/NumberText.h"

#include <cmath>

namespace vq {

QString numberToText(double value, const QLocale &locale)
{
    if (value == 0)
        return QStringLiteral("0");
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15 || magnitude < 1e-4) {
        // Scientific form as the platform writes it: upper-case E, signed two-digit exponent.
        QString text = plain.toString(value, 'e', QLocale::FloatingPointShortest);
        const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
        QString mantissa = text.left(e);
        int exponent = text.mid(e + 1).toInt();
        return QStringLiteral("%1E%2%3")
            .arg(mantissa, exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
            .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    return plain.toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace vq
