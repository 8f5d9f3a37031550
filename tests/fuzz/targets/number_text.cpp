#include "FuzzTarget.h"

#include "platform/Error.h"
#include "platform/NumberText.h"

#include <cmath>

// Lenient number reading and "reads as a number", under locales with different separators. Every number
// the library writes reads back as the same number.
VQ_FUZZ_TARGET(number_text)
{
    const QString text = vqfuzz::Input(data, size).rest();
    const QLocale locales[] = {
        QLocale(), QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France)};
    for (const QLocale &locale : locales) {
        double value = 0;
        if (vq::readsAsNumber(text, locale, &value)) {
            FUZZ_CHECK(std::isfinite(value), text);
            double again = 0;
            const QString written = vq::numberToText(value, locale);
            FUZZ_CHECK(vq::readsAsNumber(written, locale, &again) && again == value, text + " -> " + written);
        }
    }
    try {
        const double value = vq::val(text);
        FUZZ_CHECK(!std::isnan(value), text);
        if (std::isfinite(value))
            FUZZ_CHECK(vq::val(vq::numberToText(value)) == value, text);
    } catch (const vq::Error &e) {
        FUZZ_CHECK(e.number() == vq::Error::Overflow, text);
    }
}
