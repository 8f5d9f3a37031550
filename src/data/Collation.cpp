#include "data/Collation.h"

#include "platform/Error.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vq {

namespace {

// Characters below this have a fast path when their collation is simple.
constexpr char32_t TableEnd = 0x250;

// One code point from UTF-8 at `at`, which moves past it; U+FFFD for a malformed sequence.
char32_t nextMultiByteCodePoint(std::string_view s, size_t &at);

// Inlined for ASCII, which most texts mostly are.
[[gnu::always_inline]] inline char32_t nextCodePoint(std::string_view s, size_t &at)
{
    const auto b0 = static_cast<unsigned char>(s[at]);
    if (b0 < 0x80) {
        ++at;
        return b0;
    }
    return nextMultiByteCodePoint(s, at);
}

char32_t nextMultiByteCodePoint(std::string_view s, size_t &at)
{
    const auto b0 = static_cast<unsigned char>(s[at]);
    const int extra = b0 >= 0xF0 ? 3 : (b0 >= 0xE0 ? 2 : (b0 >= 0xC0 ? 1 : -1));
    if (extra < 0 || at + size_t(extra) >= s.size()) {
        ++at;
        return 0xFFFD;
    }
    char32_t c = b0 & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[at + size_t(i)]);
        if ((b & 0xC0) != 0x80) {
            ++at;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    at += size_t(extra) + 1;
    return c;
}

struct CollatorDeleter
{
    void operator()(UCollator *c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorDeleter>;

CollatorPtr openCollator(const QLocale &locale, UColAttributeValue strength)
{
    UErrorCode status = U_ZERO_ERROR;
    // A program started without a locale runs under C, which has no order for letters of its own: ICU's
    // root order (the one most locales share) ignores case as the others do; the POSIX order would put
    // every capital before every small letter and "Zoe" before "adams".
    const QByteArray name = locale.language() == QLocale::C ? QByteArray("") : locale.name().toLatin1();
    CollatorPtr c(ucol_open(name.constData(), &status));
    if (U_FAILURE(status) || !c)
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("No collation for the locale %1: %2")
                .arg(QString::fromLatin1(name), QString::fromLatin1(u_errorName(status))));
    ucol_setStrength(c.get(), strength);
    return c;
}

} // namespace

struct Collation::Private
{
    QLocale locale;
    CollatorPtr secondary;
    CollatorPtr primary;
    // Primary rank per code point below TableEnd; 0 where the character has no simple collation.
    std::vector<quint16> rank;
    // Characters that begin a contraction of the locale whose other characters are all non-simple
    // (root's "l·"): simple unless a non-simple character follows.
    std::vector<quint8> guarded;
    // Per code point with a rank: its accent's place among the characters of that rank, from 1 (none, or
    // one the locale ignores at this strength) up, in the locale's order.
    std::vector<quint8> accent;
    int rankBits = 8;

    quint16 rankOf(char32_t c) const { return c < TableEnd ? rank[c] : 0; }

    // The rank of the character at `at` (which moves past it), 0 where it is not simple there.
    quint16 rankAt(std::string_view s, size_t &at, char32_t *code = nullptr) const
    {
        const char32_t c = nextCodePoint(s, at);
        if (code)
            *code = c;
        const quint16 r = rankOf(c);
        if (r && guarded[c] && at < s.size()) {
            size_t next = at;
            if (!rankOf(nextCodePoint(s, next)))
                return 0;
        }
        return r;
    }

    void buildTable()
    {
        rank.assign(TableEnd, 0);
        guarded.assign(TableEnd, 0);
        UErrorCode status = U_ZERO_ERROR;
        // Characters ignored or numbers compared by value: no fast path at all.
        if (ucol_getAttribute(secondary.get(), UCOL_ALTERNATE_HANDLING, &status) != UCOL_NON_IGNORABLE ||
            ucol_getAttribute(secondary.get(), UCOL_NUMERIC_COLLATION, &status) == UCOL_ON ||
            U_FAILURE(status))
            return;
        // A character that continues a contraction never has a simple rank where it is not ASCII; one that
        // begins a contraction is guarded, or not simple at all where an ASCII character continues it
        // (Czech "ch" sorts after "h", so "c" cannot be compared alone).
        std::vector<bool> notSimple(TableEnd, false), starts(TableEnd, false);
        USet *contractions = uset_openEmpty();
        status = U_ZERO_ERROR;
        ucol_getContractionsAndExpansions(secondary.get(), contractions, nullptr, true, &status);
        if (U_FAILURE(status)) {
            uset_close(contractions);
            return;
        }
        const int32_t items = uset_getItemCount(contractions);
        for (int32_t i = 0; i < items; ++i) {
            UChar text[64];
            UChar32 start = 0, end = 0;
            status = U_ZERO_ERROR;
            const int32_t length = uset_getItem(contractions, i, &start, &end, text, 64, &status);
            if (U_FAILURE(status))
                continue;
            if (length == 0) { // single code points: none of these is left to the fast path
                for (UChar32 c = start; c <= end && c < UChar32(TableEnd); ++c)
                    notSimple[size_t(c)] = true;
                continue;
            }
            if (text[0] < TableEnd)
                starts[text[0]] = true;
            for (int32_t k = 1; k < length; ++k) {
                if (text[k] >= 0x80) {
                    if (text[k] < TableEnd)
                        notSimple[text[k]] = true;
                } else if (text[0] < TableEnd) {
                    notSimple[text[0]] = true;
                }
            }
        }
        uset_close(contractions);

        // The secondary weight of a plain letter's one element; accents add elements of no primary weight
        // and a higher secondary one.
        quint32 common = 0;
        {
            const UChar text[1] = {u'a'};
            status = U_ZERO_ERROR;
            UCollationElements *it = ucol_openElements(primary.get(), text, 1, &status);
            if (U_SUCCESS(status))
                common = quint32(ucol_secondaryOrder(ucol_next(it, &status)));
            ucol_closeElements(it);
        }
        std::vector<std::pair<qint32, char32_t>> primaries;
        for (char32_t c = 0x20; c < TableEnd; ++c) {
            if (notSimple[c] || (c >= 0x7F && c < 0xA0))
                continue;
            const UChar text[1] = {UChar(c)};
            status = U_ZERO_ERROR;
            UCollationElements *it = ucol_openElements(primary.get(), text, 1, &status);
            if (U_FAILURE(status))
                continue;
            // Simple: the primary weight first, with the plain secondary weight, then only accents. Such
            // characters order by primary weights first and then by their accents one character after
            // another, which keys can say.
            int weighted = 0;
            qint32 weight = 0;
            bool plainThenAccents = true;
            for (int n = 0;; ++n) {
                const int32_t ce = ucol_next(it, &status);
                if (ce == UCOL_NULLORDER || U_FAILURE(status))
                    break;
                const quint32 secondaryWeight = quint32(ucol_secondaryOrder(ce));
                if (ucol_primaryOrder(ce) != 0) {
                    ++weighted;
                    weight = ucol_primaryOrder(ce);
                    plainThenAccents = plainThenAccents && n == 0 && secondaryWeight == common;
                } else if (secondaryWeight != 0) {
                    plainThenAccents = plainThenAccents && secondaryWeight > common;
                }
            }
            ucol_closeElements(it);
            if (weighted == 1 && plainThenAccents && U_SUCCESS(status))
                primaries.emplace_back(weight, c);
        }
        // Dense ranks from 1 in primary order; characters with one primary weight share its rank.
        std::sort(primaries.begin(), primaries.end());
        quint16 r = 0;
        for (size_t i = 0; i < primaries.size(); ++i) {
            if (i == 0 || primaries[i].first != primaries[i - 1].first)
                ++r;
            rank[primaries[i].second] = r;
            guarded[primaries[i].second] = starts[primaries[i].second];
        }
        rankBits = r < 256 ? 8 : 16;

        // Accents in the locale's order among the characters of each rank.
        accent.assign(TableEnd, 1);
        auto secondaryCompare = [&](char32_t a, char32_t b) {
            const UChar ta[1] = {UChar(a)}, tb[1] = {UChar(b)};
            return ucol_strcoll(secondary.get(), ta, 1, tb, 1);
        };
        for (size_t i = 0; i < primaries.size();) {
            size_t j = i + 1;
            while (j < primaries.size() && primaries[j].first == primaries[i].first)
                ++j;
            std::vector<char32_t> same;
            for (size_t k = i; k < j; ++k)
                same.push_back(primaries[k].second);
            std::sort(same.begin(), same.end(),
                [&](char32_t a, char32_t b) { return secondaryCompare(a, b) == UCOL_LESS; });
            quint8 place = 1;
            for (size_t k = 0; k < same.size(); ++k) {
                if (k > 0 && secondaryCompare(same[k - 1], same[k]) != UCOL_EQUAL && place < 255)
                    ++place;
                accent[same[k]] = place;
            }
            i = j;
        }
    }

    int icuCompare(const UCollator *c, std::string_view a, std::string_view b) const
    {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r =
            ucol_strcollUTF8(c, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
        return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    }
};

Collation::Collation(const QLocale &locale)
    : d(std::make_unique<Private>())
{
    d->locale = locale;
    d->secondary = openCollator(locale, UCOL_SECONDARY);
    d->primary = openCollator(locale, UCOL_PRIMARY);
    d->buildTable();
}

Collation::~Collation() = default;

const Collation &Collation::current()
{
    static std::unique_ptr<Collation> collation;
    const QLocale locale;
    if (!collation || collation->d->locale != locale)
        collation = std::make_unique<Collation>(locale);
    return *collation;
}

QLocale Collation::locale() const
{
    return d->locale;
}

int Collation::compare(std::string_view a, std::string_view b) const
{
    if (a == b)
        return 0;
    size_t i = 0, j = 0;
    bool ascii = true;
    while (i < a.size() && j < b.size()) {
        ascii = ascii && static_cast<unsigned char>(a[i]) < 0x80 && static_cast<unsigned char>(b[j]) < 0x80;
        const quint16 ra = d->rankAt(a, i);
        const quint16 rb = d->rankAt(b, j);
        if (!ra || !rb)
            return d->icuCompare(d->secondary.get(), a, b);
        if (ra != rb)
            return ra < rb ? -1 : 1;
    }
    if (i < a.size() || j < b.size()) {
        // One text goes on. Its next character decides at primary strength where it is simple.
        const std::string_view longer = i < a.size() ? a : b;
        size_t k = i < a.size() ? i : j;
        if (d->rankAt(longer, k))
            return i < a.size() ? 1 : -1;
        return d->icuCompare(d->secondary.get(), a, b);
    }
    // The same primary weights throughout: accents may still tell them apart.
    return ascii ? 0 : d->icuCompare(d->secondary.get(), a, b);
}

int Collation::comparePrefix(std::string_view text, std::string_view prefix) const
{
    size_t i = 0, j = 0;
    while (j < prefix.size()) {
        if (i >= text.size())
            break;
        const quint16 rt = d->rankAt(text, i);
        const quint16 rp = d->rankAt(prefix, j);
        if (!rt || !rp) {
            i = j = std::string_view::npos;
            break;
        }
        if (rt != rp)
            return rt < rp ? -1 : 1;
    }
    if (j == prefix.size() && i != std::string_view::npos)
        return 0;
    if (i != std::string_view::npos && i >= text.size()) {
        // The text ended first; a prefix whose rest is simple is longer at primary strength.
        size_t k = j;
        if (d->rankAt(prefix, k))
            return -1;
    }
    // ICU: a head of the text equal to the prefix at primary strength. Heads only grow in primary order as
    // they lengthen (marks add nothing, expansions make one character count for two), so the shortest head
    // not below the prefix is found by bisection, and the text begins with the prefix when it is equal.
    std::vector<size_t> ends;
    for (size_t k = 0; k < text.size();) {
        nextCodePoint(text, k);
        ends.push_back(k);
    }
    size_t lo = 0, hi = ends.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (d->icuCompare(d->primary.get(), text.substr(0, ends[mid]), prefix) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < ends.size() && d->icuCompare(d->primary.get(), text.substr(0, ends[lo]), prefix) == 0)
        return 0;
    const int c = d->icuCompare(d->secondary.get(), text, prefix);
    return c != 0 ? c : 1;
}

qsizetype Collation::sortKey(std::string_view text, char *out) const
{
    char *o = out;
    const bool wide = d->rankBits > 8;
    const quint16 *rank = d->rank.data();
    const quint8 *accent = d->accent.data();
    const quint8 *guarded = d->guarded.data();
    // The accents of the first characters, kept on the way so that most texts are read once.
    quint8 seen[256];
    size_t chars = 0;
    size_t accented = 0; // characters up to the last one with an accent
    for (size_t at = 0; at < text.size();) {
        const size_t from = at;
        const auto b = static_cast<unsigned char>(text[at]);
        // ASCII and the two-byte characters of Latin scripts, unguarded, take one table look-up.
        char32_t c = TableEnd;
        if (b < 0x80) {
            c = b;
            at += 1;
        } else if (b >= 0xC0 && b < 0xE0 && at + 1 < text.size() &&
            (static_cast<unsigned char>(text[at + 1]) & 0xC0) == 0x80) {
            c = (char32_t(b & 0x1F) << 6) | (static_cast<unsigned char>(text[at + 1]) & 0x3F);
            at += 2;
        }
        quint16 r = c < TableEnd && !guarded[c] ? rank[c] : 0;
        if (!r) {
            at = from;
            r = d->rankAt(text, at, &c);
            if (!r)
                return -1;
        }
        if (wide)
            *o++ = char(r >> 8);
        *o++ = char(r & 0xff);
        const quint8 a = accent[c];
        if (chars < sizeof seen)
            seen[chars] = a;
        ++chars;
        if (a > 1)
            accented = chars;
    }
    if (!accented)
        return o - out;
    // Below every rank, so that a longer text sorts after; then each character's accent, up to the last
    // one that has one (the plain accent is the smallest, so leaving those after it out keeps the order).
    *o++ = 0;
    if (wide)
        *o++ = 0;
    if (accented <= sizeof seen) {
        std::memcpy(o, seen, accented);
        return o + accented - out;
    }
    for (size_t at = 0, n = 0; n < accented; ++n)
        *o++ = char(accent[nextCodePoint(text, at)]);
    return o - out;
}

quint16 Collation::leadRank(std::string_view text) const
{
    if (text.empty())
        return 0;
    size_t at = 0;
    return d->rankAt(text, at);
}

} // namespace vq
