#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

namespace vq {

// The platform's standard conversion of a value to text, as used for display and for filling lists:
// integers plain, decimals (AutomationDecimal) with every digit, other numbers in their shortest form (both
// with the locale's decimal symbol), dates in the locale's short date form with the time added when it is
// not midnight, booleans "True" and "False", text as it is. A null (or invalid) value cannot be converted:
// vq::Error 94 "Invalid use of Null".
QString variantToText(const QVariant &value, const QLocale &locale = QLocale());

} // namespace vq
