#include "data/PrefixKeys.h"

#include "data/Collation.h"

#include <algorithm>

namespace vq {

namespace {

// Bytes of the UTF-8 sequence that begins with `lead`, as the collation steps over it.
size_t sequenceLength(char lead)
{
    const auto b = static_cast<unsigned char>(lead);
    return b < 0x80 ? 1 : (b >= 0xF0 ? 4 : (b >= 0xE0 ? 3 : 2));
}

} // namespace

PrefixKeys::PrefixKeys(const Collation &collation)
    : m_collation(&collation)
    , m_pairRank(128 * 128)
{
    char pair[2];
    for (int a = 0; a < 128; ++a) {
        pair[0] = char(a);
        m_pairRank[size_t(a) * 128] = collation.leadRank(std::string_view(pair, 1));
        for (int b = 1; b < 128; ++b) {
            pair[1] = char(b);
            m_pairRank[size_t(a) * 128 + size_t(b)] = collation.leadRank(std::string_view(pair, 2));
        }
    }
}

quint64 PrefixKeys::word(std::string_view text) const
{
    // The first Chars characters and the one after them decide the word.
    const size_t look = std::min<size_t>(text.size(), Chars + 1);
    for (size_t i = 0; i < look; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return slowWord(text);
    }
    quint64 w = 0;
    for (size_t i = 0; i < Chars; ++i) {
        quint16 r = 0;
        if (i < text.size()) {
            const size_t next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            r = m_pairRank[size_t(static_cast<unsigned char>(text[i])) * 128 + next];
            if (!r)
                return FullCompare;
        }
        w = (w << 16) | r;
    }
    return w;
}

quint64 PrefixKeys::slowWord(std::string_view text) const
{
    quint64 w = 0;
    size_t at = 0;
    for (int i = 0; i < Chars; ++i) {
        quint16 r = 0;
        if (at < text.size()) {
            r = m_collation->leadRank(text.substr(at));
            if (!r)
                return FullCompare;
            at += sequenceLength(text[at]);
        }
        w = (w << 16) | r;
    }
    return w;
}

PrefixKeys::Test PrefixKeys::test(std::string_view prefix) const
{
    Test t;
    if (prefix.empty())
        return t;
    // The prefix's characters after the first Chars ones do not enter its word.
    size_t chars = 0;
    for (size_t at = 0; at < prefix.size() && chars <= Chars; ++chars)
        at += sequenceLength(prefix[at]);
    const quint64 w = word(prefix);
    if (w == FullCompare)
        return t;
    t.usable = true;
    t.decisive = chars <= Chars;
    const int ranks = int(std::min<size_t>(chars, Chars));
    t.mask = ranks == Chars ? ~quint64(0) : ~(~quint64(0) >> (16 * ranks));
    t.want = w & t.mask;
    return t;
}

} // namespace vq
