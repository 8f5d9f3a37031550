#include "FuzzTarget.h"

#include "data/ConnectionString.h"

// Connection strings. Every value the parser hands out, written back with quoteValue, reads back
// unchanged, and value() answers the first pair of a key.
VQ_FUZZ_TARGET(connection_string)
{
    const QString text = vqfuzz::Input(data, size).rest();
    const vq::ConnectionString parsed(text);
    for (const auto &[key, value] : parsed.pairs()) {
        FUZZ_CHECK(parsed.contains(key), text);
        const vq::ConnectionString again(
            QStringLiteral("K=") + vq::ConnectionString::quoteValue(value) + QStringLiteral(";Other=1"));
        FUZZ_CHECK(again.value(QStringLiteral("k")) == value, text + " value " + value);
        FUZZ_CHECK(again.value(QStringLiteral("Other")) == QStringLiteral("1"), text + " value " + value);
    }
    const vq::ConnectionString quoted(QStringLiteral("X=") + vq::ConnectionString::quoteValue(text));
    FUZZ_CHECK(quoted.value(QStringLiteral("X")) == text, text);
}
