#include "FuzzTarget.h"

#include "data/ColumnStore.h"
#include "platform/AutomationDecimal.h"

#include <charconv>
#include <cmath>
#include <cstring>

// Doubles made decimals, as a fetch makes SQLite's reals in a numeric column: from eight bytes taken as a
// double, and from a whole number of up to 13 digits over a power of ten, as amounts are. A double gives
// the value of its shortest digits (std::to_chars's), which reads back as the double, and is refused only
// where those need more than 28 places or the magnitude reaches 2^96; the inline way for few places gives
// the same digits, and a column keeps the value exactly, in 32 or 64 bits.
VQ_FUZZ_TARGET(double_decimal)
{
    using vq::AutomationDecimal;
    vqfuzz::Input input(data, size);
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | input.byte();
    double raw = 0;
    std::memcpy(&raw, &bits, sizeof raw);
    const double amount =
        double(qint64(bits % 20000000000000) - 10000000000000) / std::pow(10.0, input.byte() % 8);
    vq::ColumnStore store;
    store.reset({vq::ColumnStore::Kind::Decimal});
    for (const double v : {raw, amount}) {
        // The shortest digits that read back as the double, in whichever notation is shorter.
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v == 0 ? 0.0 : v);
        const std::string shortest(buffer, r.ptr);
        const QString shown = QString::fromStdString(shortest);
        bool exact = false;
        const auto expected = std::isfinite(v)
            ? AutomationDecimal::fromText(shortest, AutomationDecimal::Rounding::TowardZero, &exact)
            : std::nullopt;
        const bool fits = expected && exact && std::fabs(v) < 79228162514264337593543950336.0;
        const auto d = AutomationDecimal::fromDouble(v);
        FUZZ_CHECK(d.has_value() == fits, shown);
        qint64 mantissa = 0;
        int scale = 0;
        if (AutomationDecimal::fromFewPlaces(v, &mantissa, &scale)) {
            FUZZ_CHECK(
                d && d->scale() == scale && qint64(d->lo()) == (mantissa < 0 ? -mantissa : mantissa), shown);
        }
        if (!d)
            continue;
        FUZZ_CHECK(*d == *expected && d->toDouble() == v, shown);
        FUZZ_CHECK(store.appendDoubleAsDecimal(0, v), shown);
        FUZZ_CHECK(store.decimalAt(0, store.rowCount() - 1) == *d, shown);
    }
}
