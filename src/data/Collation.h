#pragma once

#include <QLocale>
#include <QtGlobal>

#include <memory>
#include <string_view>

namespace vq {

// How the record set orders, compares and searches text: the collation of a locale (ICU's), ignoring case
// and ordering accents as the locale orders them ("Émile" sorts beside "Emile", before "Zoe").
//
// - compare: the locale's order at secondary strength: case is ignored ("baker" = "BAKER"), accents are
//   not ("Emile" < "Émile" < "Emily").
// - comparePrefix: zero when the text begins with the prefix at primary strength (neither case nor accents
//   count: "émi" begins "Emile"); otherwise the sign of compare. The texts that begin with a prefix are one
//   run in compare's order, so a binary search over sorted texts finds them.
// - sortKey: bytes that order texts as compare does, compared as unsigned bytes (a key that is the beginning
//   of another is the smaller): the primary ranks of the characters, then, where some character has an
//   accent, a zero and each character's accent in the locale's order. Equal keys mean equal texts. Only for
//   texts whose characters each have one primary weight of their own followed by nothing but accents:
//   expansions such as "æ", contractions of the locale and characters beyond Latin Extended-B have none,
//   and sort by compare.
//
// Texts are UTF-8. Characters of Latin scripts take a path that never leaves the bytes; ICU decides the rest.
class Collation
{
public:
    explicit Collation(const QLocale &locale);
    ~Collation();
    Collation(const Collation &) = delete;
    Collation &operator=(const Collation &) = delete;

    // The collation of the default locale (QLocale()), made again when the default changes. For the GUI
    // thread, as the record set is used.
    static const Collation &current();

    QLocale locale() const;
    int compare(std::string_view a, std::string_view b) const;
    int comparePrefix(std::string_view text, std::string_view prefix) const;
    // Writes the sort key to `out`, which has room for sortKeyRoom(text.size()) bytes, and returns its
    // length; -1 (and `out` undefined) for a text without one.
    static constexpr size_t sortKeyRoom(size_t textBytes) { return 3 * textBytes + 2; }
    qsizetype sortKey(std::string_view text, char *out) const;
    // The primary rank of a text's first character where it has a simple one, else 0 (also for an empty
    // text): texts whose ranks differ cannot begin with one another at primary strength.
    quint16 leadRank(std::string_view text) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vq
