#include "FuzzTarget.h"

#include "platform/DateText.h"
#include "platform/Error.h"

// Date recognition and text to date. isDate and toDate agree with textToDate, and a recognised date
// written in the short form is recognised again as the same date.
VQ_FUZZ_TARGET(date_text)
{
    const QString text = vqfuzz::Input(data, size).rest();
    for (const QLocale &locale : {QLocale(), QLocale(QLocale::German, QLocale::Germany)}) {
        const std::optional<QDateTime> date = vq::textToDate(text, locale);
        FUZZ_CHECK(vq::isDate(text, locale) == date.has_value(), text);
        if (date) {
            FUZZ_CHECK(vq::toDate(text, locale) == *date, text);
        } else {
            try {
                vq::toDate(text, locale);
                vqfuzz::fail("toDate refuses what textToDate does not recognise", text);
            } catch (const vq::Error &e) {
                FUZZ_CHECK(e.number() == vq::Error::TypeMismatch, text);
            }
        }
        if (date) {
            FUZZ_CHECK(date->isValid(), text);
            const QString written = vq::dateToText(*date, locale);
            const std::optional<QDateTime> again = vq::textToDate(written, locale);
            FUZZ_CHECK(again.has_value() && again->date() == date->date(), text + " -> " + written);
        }
    }
}
