#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// Fuzz targets: one function per parser, taking arbitrary bytes. The same target runs under libFuzzer
// (./vq fuzz, one program per target) and, over its stored corpus, as an ordinary test of ./vq test.
//
// A new target is one file in tests/fuzz/targets/ holding
//
//     VQ_FUZZ_TARGET(name) { ... use data, size ... }
//
// and a folder tests/fuzz/corpus/name/ with a few seed inputs. A target throws nothing but vq::Error
// (which it catches itself where the parser may refuse) and aborts on a broken rule (FUZZ_CHECK), so that
// libFuzzer records the input as a crash.
namespace vqfuzz {

using Target = void (*)(const uint8_t *data, size_t size);

bool registerTarget(const char *name, Target target);
const std::map<std::string, Target> &targets();

// Fails the run with a message naming the broken rule and the input's text.
[[noreturn]] void fail(const char *rule, const QString &input);

// Splits the input into parts: bytes that are read one at a time (choices) and texts separated by a
// zero byte, decoded as UTF-8 (invalid sequences become replacement characters).
class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    { }

    bool atEnd() const { return m_pos >= m_size; }
    // The next byte, or 0 at the end.
    uint8_t byte();
    // The text up to the next zero byte (or the end).
    QString text();
    // All that is left, as one text.
    QString rest();

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace vqfuzz

#define FUZZ_CHECK(condition, input)                                                                         \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::vqfuzz::fail(#condition, (input));                                                             \
    } while (false)

#define VQ_FUZZ_TARGET(name)                                                                                 \
    static void vqFuzzTarget_##name(const uint8_t *data, size_t size);                                       \
    [[maybe_unused]] static const bool vqFuzzRegistered_##name =                                             \
        ::vqfuzz::registerTarget(#name, &vqFuzzTarget_##name);                                               \
    static void vqFuzzTarget_##name(const uint8_t *data, size_t size)
