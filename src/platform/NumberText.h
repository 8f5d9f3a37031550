#pragma once

#include <QLocale>
#include <QString>

namespace vq {

// Number services of the desktop platform: format pictures, "reads as a number", lenient leading-number
// reading and shortest number-to-text. Pure functions; the locale gives the separators.

// Formats `text` by a picture made of 0 (digit always shown), # (digit shown when significant),
// , (thousand grouping, shown as the locale's group separator), . (the locale's decimal symbol) and literal
// characters. Halves round away from zero, on the decimal digits of the text (1.005 with "0.00" gives 1.01).
// Text that does not read as a number (see readsAsNumber), including the empty text, comes back unchanged.
QString formatNumberText(const QString &text, const QString &picture, const QLocale &locale = QLocale());

// The same for a number held as a double.
QString formatNumber(double value, const QString &picture, const QLocale &locale = QLocale());

// True when the whole text, blanks around it aside, is a number under the locale: an optional sign,
// digits with optional group separators, an optional decimal symbol and digits. The value is stored in
// *value when given.
bool readsAsNumber(const QString &text, const QLocale &locale = QLocale(), double *value = nullptr);

// Lenient leading-number reading: blanks anywhere are skipped, then an optional sign, digits, a full stop
// and digits, an optional exponent (E or D); "&H" and "&O" prefixes read hexadecimal and octal. Reading
// stops at the first character that does not fit; a text without a leading number gives 0.
double val(const QString &text);

// The shortest text that reads back as the same double, with the locale's decimal symbol and without
// group separators ("1234.5", "0.1", "-3", "1E+20" style exponents for very large or small values).
QString numberToText(double value, const QLocale &locale = QLocale());

} // namespace vq
