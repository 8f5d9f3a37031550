#pragma once

#include "platform/Decimal.h"

#include <QLocale>
#include <QString>

#include <memory>

namespace vq {

// A number format picture, parsed once and applied to any number of values.
//
// Grammar, per section:
//   0        a digit, always shown
//   #        a digit, shown only when significant
//   .        the decimal symbol (the first one; later ones are literal)
//   ,        between integer digit placeholders: group the integer digits in threes;
//            right after the last integer placeholder: divide by 1000 (once per comma)
//   %        shown as is, multiplies by 100
//   E+ E- e+ e-  after a digit placeholder: scientific form; the placeholders that follow give the
//            exponent's digits (+ shows the exponent's sign always, - only when negative)
//   \c       the character c as a literal
//   "text"   text as a literal
//   other    a literal, shown as is
// Up to three sections separated by ';': positive (and the default), negative, zero. With one section a
// negative number is shown with a leading '-'; a negative number whose shown digits are all zero is shown
// as zero, without the sign. An empty picture gives the general number form.
// In the output the locale gives the decimal symbol and the group separator; digits and the minus sign
// are ASCII, so that the text reads back under the same locale and through val().
class FormatPicture
{
public:
    explicit FormatPicture(const QString &picture);
    ~FormatPicture();
    FormatPicture(const FormatPicture &) = delete;
    FormatPicture &operator=(const FormatPicture &) = delete;

    QString apply(const Decimal &value, const QLocale &locale = QLocale()) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
