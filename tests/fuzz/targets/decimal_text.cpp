#include "FuzzTarget.h"

#include "platform/AutomationDecimal.h"

#include <string_view>

// Decimal texts as drivers and criteria deliver them. A value read writes a text that reads back as the
// same value; the value cut off toward zero never lies beyond the rounded one, is the same when nothing
// was dropped, and orders with it by its key.
VQ_FUZZ_TARGET(decimal_text)
{
    using vq::AutomationDecimal;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const QString shown = QString::fromLatin1(text.data(), qsizetype(text.size()));
    bool exact = false;
    const auto cut = AutomationDecimal::fromText(text, AutomationDecimal::Rounding::TowardZero, &exact);
    const auto rounded = AutomationDecimal::fromText(text);
    FUZZ_CHECK(cut || !rounded, shown);
    if (!cut)
        return;
    FUZZ_CHECK(cut->scale() >= 0 && cut->scale() <= AutomationDecimal::MaxScale, shown);
    for (const AutomationDecimal &d : {*cut, rounded.value_or(*cut)}) {
        const std::string written = d.toInvariantText();
        const auto again = AutomationDecimal::fromText(written);
        FUZZ_CHECK(again && *again == d && again->toInvariantText() == written, shown);
    }
    if (exact)
        FUZZ_CHECK(rounded && *rounded == *cut, shown);
    if (rounded) {
        const int away = AutomationDecimal::compare(*rounded, *cut) *
            (rounded->isNegative() || cut->isNegative() ? -1 : 1);
        FUZZ_CHECK(away >= 0, shown);
        const quint64 kr = rounded->orderKey(), kc = cut->orderKey();
        const int order = AutomationDecimal::compare(*cut, *rounded);
        FUZZ_CHECK(order < 0 ? kc <= kr : (order > 0 ? kc >= kr : kc == kr), shown);
    }
}
