#include "data/TextFold.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

std::string slowFold(std::string_view utf8)
{
    const QByteArray folded = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toCaseFolded().toUtf8();
    return std::string(folded.constData(), size_t(folded.size()));
}

int compareBytes(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c)
        return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int comparePrefixBytes(std::string_view folded, std::string_view prefix)
{
    const size_t n = std::min(folded.size(), prefix.size());
    const int c = n ? std::memcmp(folded.data(), prefix.data(), n) : 0;
    if (c)
        return c < 0 ? -1 : 1;
    return folded.size() < prefix.size() ? -1 : 0;
}

} // namespace

std::string foldText(std::string_view utf8)
{
    std::string out(utf8);
    for (char &c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80)
            return slowFold(utf8);
        c = char(lowerAscii(u));
    }
    return out;
}

int compareToFolded(std::string_view raw, std::string_view folded)
{
    const size_t n = std::min(raw.size(), folded.size());
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(raw[i]);
        if (a >= 0x80)
            return compareBytes(slowFold(raw), folded);
        const unsigned char la = lowerAscii(a);
        const auto b = static_cast<unsigned char>(folded[i]);
        if (la != b)
            return la < b ? -1 : 1;
    }
    if (raw.size() == folded.size())
        return 0;
    return raw.size() < folded.size() ? -1 : 1;
}

int compareFolded(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80)
            return compareBytes(foldText(a), foldText(b));
        const unsigned char la = lowerAscii(ca);
        const unsigned char lb = lowerAscii(cb);
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    // The longer text may still fold to something else only if it has non-ASCII bytes, which folding
    // never shortens to nothing, so length decides.
    return a.size() < b.size() ? -1 : 1;
}

int comparePrefixToFolded(std::string_view raw, std::string_view foldedPrefix)
{
    const size_t n = std::min(raw.size(), foldedPrefix.size());
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(raw[i]);
        if (a >= 0x80)
            return comparePrefixBytes(slowFold(raw), foldedPrefix);
        const unsigned char la = lowerAscii(a);
        const auto b = static_cast<unsigned char>(foldedPrefix[i]);
        if (la != b)
            return la < b ? -1 : 1;
    }
    return raw.size() < foldedPrefix.size() ? -1 : 0;
}

bool containsFolded(std::string_view raw, std::string_view foldedNeedle)
{
    if (foldedNeedle.empty())
        return true;
    for (const char c : raw) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return slowFold(raw).find(foldedNeedle) != std::string::npos;
    }
    const auto it =
        std::search(raw.begin(), raw.end(), foldedNeedle.begin(), foldedNeedle.end(), [](char a, char b) {
            return lowerAscii(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
        });
    return it != raw.end();
}

quint64 foldedKey(std::string_view raw)
{
    quint64 key = 0;
    const size_t n = std::min<size_t>(raw.size(), 8);
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c >= 0x80) {
            const std::string folded = slowFold(raw);
            key = 0;
            const size_t m = std::min<size_t>(folded.size(), 8);
            for (size_t j = 0; j < m; ++j)
                key |= quint64(static_cast<unsigned char>(folded[j])) << (56 - 8 * j);
            return key;
        }
        key |= quint64(lowerAscii(c)) << (56 - 8 * i);
    }
    return key;
}

char *writeUtf16AsUtf8(const char16_t *text, size_t length, char *out)
{
    size_t i = 0;
    for (;;) {
        // Runs of ASCII, the common case, four units at a time and without the checks below.
        while (i + 4 <= length) {
            quint64 units;
            std::memcpy(&units, text + i, sizeof units);
            if (units & 0xFF80FF80FF80FF80u)
                break;
            out[0] = char(text[i]);
            out[1] = char(text[i + 1]);
            out[2] = char(text[i + 2]);
            out[3] = char(text[i + 3]);
            out += 4;
            i += 4;
        }
        while (i < length && text[i] < 0x80)
            *out++ = char(text[i++]);
        if (i == length)
            return out;
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        ++i;
        if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        }
    }
}

} // namespace vq
