#pragma once

#include <QtGlobal>

#include <string_view>
#include <vector>

namespace vq {

class Collation;

// The first characters of a text as one 64-bit word of their primary ranks (Collation::leadRank, 16 bits
// each, the first character highest, 0 past the end of the text), so that a prefix LIKE tests most rows
// on one word instead of on their text.
//
// For a prefix whose first Chars characters have simple ranks, a text whose word is not FullCompare
// begins with the prefix (at primary strength, as Collation::comparePrefix says) exactly when its word
// begins with the prefix's ranks; a prefix longer than Chars characters then still needs comparePrefix
// for those texts. A text with a character of no simple rank among its first Chars characters has the
// word FullCompare and always needs comparePrefix.
//
// Texts of ASCII characters take a table of every pair of ASCII characters (a character's rank may
// depend on the next one: see Collation), made once per collation.
class PrefixKeys
{
public:
    static constexpr int Chars = 4;
    static constexpr quint64 FullCompare = ~quint64(0); // no word can be this: ranks stay far below 0xFFFF

    // The collation must outlive this object.
    explicit PrefixKeys(const Collation &collation);

    const Collation &collation() const { return *m_collation; }
    quint64 word(std::string_view text) const;

    // How a prefix tests a word.
    struct Test
    {
        bool usable = false; // false: the prefix's first characters have no simple ranks; compare every text
        bool decisive = false; // a word that passes needs no comparePrefix (the prefix is short enough)
        quint64 want = 0;
        quint64 mask = 0;

        // False when the text cannot begin with the prefix; true when it may (or does, if decisive and
        // the word is not FullCompare).
        bool passes(quint64 word) const { return word == FullCompare || (word & mask) == want; }
    };
    Test test(std::string_view prefix) const;

private:
    quint64 slowWord(std::string_view text) const;

    const Collation *m_collation;
    // Rank of ASCII character a followed by ASCII character b (b = 0: at the end of the text), at a * 128 +
    // b.
    std::vector<quint16> m_pairRank;
};

} // namespace vq
