#include "FuzzTarget.h"

#include "platform/Error.h"
#include "platform/FormatPicture.h"
#include "platform/NumberText.h"

#include <cmath>

// Format pictures applied to numbers: a picture, a zero byte, then the number as text.
VQ_FUZZ_TARGET(format_picture)
{
    vqfuzz::Input in(data, size);
    const QString picture = in.text();
    const QString number = in.rest();
    for (const QLocale &locale : {QLocale(), QLocale(QLocale::German, QLocale::Germany)}) {
        const QString shown = vq::formatNumberText(number, picture, locale);
        // Text that is not a number comes back as it was.
        if (!vq::readsAsNumber(number, locale))
            FUZZ_CHECK(shown == number, picture + QLatin1Char('|') + number);
    }
    double value = 0;
    try {
        value = vq::val(number);
    } catch (const vq::Error &) {
        return;
    }
    if (std::isfinite(value)) {
        vq::formatNumber(value, picture);
        vq::FormatPicture(picture).apply(vq::Decimal::fromDouble(value));
    }
}
