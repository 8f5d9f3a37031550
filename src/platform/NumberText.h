#pragma once

#include <QLocale>
#include <QString>

namespace vq {

// Number services of the desktop platform: format pictures, "reads as a number", lenient leading-number
// reading and shortest number-to-text. Pure functions; the locale gives the separators.

// Formats `text` by a picture made of 0 (digit always shown), # (digit shown when significant),
// , (thousand grouping, shown as the locale's group separator), . (the locale's decimal symbol) and literal
// characters; FormatPicture describes the whole grammar (escapes, quotes, %, scaling, E+, sections).
// Halves round away from zero, on the decimal digits of the text (1.005 with "0.00" gives 1.01), so long
// digit strings keep their digits. A negative number whose shown digits are all zero is shown without its
// sign (-0.4 with "0" gives 0). Digits and the minus sign are ASCII.
// Text that does not read as a number (see readsAsNumber), including the empty text, comes back unchanged.
QString formatNumberText(const QString &text, const QString &picture, const QLocale &locale = QLocale());

// The same for a number held as a double, through its shortest decimal digits (so 1.005 still gives 1.01).
// NaN and infinities throw vq::Error 5.
QString formatNumber(double value, const QString &picture, const QLocale &locale = QLocale());

// True when the whole text, blanks around it aside, is a number under the locale: an optional leading sign
// (+, - or the locale's own signs; no trailing sign, no parentheses, no blank after the sign), digits with
// optional group separators, an optional decimal symbol and digits (".5" and "5." read), and an optional
// exponent (E or e, optional sign, digits). Group separators must sit between groups of three digits in
// the integer part ("1,234,567" reads, "1,23" and "1234,567" do not), so that under a locale grouping with
// a full stop "1.5" is refused rather than read as 15; a locale grouping with a no-break space also takes a
// plain space. A value beyond a double's range does not read. The value is stored in *value when given.
bool readsAsNumber(const QString &text, const QLocale &locale = QLocale(), double *value = nullptr);

// Lenient leading-number reading: blanks anywhere are skipped, then an optional sign, digits, a full stop
// and digits, an optional exponent (E or D, either case); "&H" and "&O" prefixes read hexadecimal and octal
// digits as an unsigned value ("&HFFFF" is 65535). The decimal symbol is always the full stop, whatever the
// locale. Reading stops at the first character that does not fit; a text without a leading number gives 0.
// A value beyond a double's range throws vq::Error 6 (Overflow).
double val(const QString &text);

// The shortest text that reads back as the same double, with the locale's decimal symbol and without
// group separators ("1234.5", "0.1", "-3", "1E+20" style exponents for very large or small values).
QString numberToText(double value, const QLocale &locale = QLocale());

} // namespace vq
