#pragma once

#include <QtGlobal>

#include <string>
#include <string_view>

namespace vq {

// Case-insensitive containment on UTF-8 bytes, for the record set's LIKE '%text%' (order and prefixes
// follow the locale's collation instead, see Collation.h). ASCII text takes a fast path that never leaves
// the bytes; other text is folded through QString.

// The case-folded form of UTF-8 text.
std::string foldText(std::string_view utf8);

// True when the folded form of raw contains foldedNeedle.
bool containsFolded(std::string_view raw, std::string_view foldedNeedle);

// Writes UTF-16 text as UTF-8 (unpaired surrogates become U+FFFD) and returns the end of what it wrote:
// at most three bytes per UTF-16 unit.
constexpr size_t MaxUtf8BytesPerUtf16Unit = 3;
char *writeUtf16AsUtf8(const char16_t *text, size_t length, char *out);

} // namespace vq
