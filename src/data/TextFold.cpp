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
