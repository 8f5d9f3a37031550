#pragma once

#include <QtGlobal>

#include <string>
#include <string_view>

namespace vq {

// Case-insensitive text comparison on UTF-8 bytes, as the record set compares, sorts and searches text.
// Text is compared by the code points of its case-folded form, so "abc", "ABC" and "Abc" are equal and
// order is stable whatever the locale. ASCII text takes a fast path that never leaves the bytes; other
// text is folded through QString.

// The case-folded form of UTF-8 text.
std::string foldText(std::string_view utf8);

// Three-way comparison of two raw texts by their folded forms (negative, zero, positive).
int compareFolded(std::string_view a, std::string_view b);

// Three-way comparison of raw text against text already folded.
int compareToFolded(std::string_view raw, std::string_view folded);

// Zero when the folded form of raw begins with foldedPrefix; otherwise the sign of the comparison of the
// folded raw text with the prefix. Monotone in the folded order, so a binary search can use it.
int comparePrefixToFolded(std::string_view raw, std::string_view foldedPrefix);

// True when the folded form of raw contains foldedNeedle.
bool containsFolded(std::string_view raw, std::string_view foldedNeedle);

// The first eight bytes of the folded form, big-endian, zero padded: a sort key consistent with
// compareFolded (equal keys need the full comparison to break the tie).
quint64 foldedKey(std::string_view raw);

// Writes UTF-16 text as UTF-8 (unpaired surrogates become U+FFFD) and returns the end of what it wrote:
// at most three bytes per UTF-16 unit.
constexpr size_t MaxUtf8BytesPerUtf16Unit = 3;
char *writeUtf16AsUtf8(const char16_t *text, size_t length, char *out);

} // namespace vq
