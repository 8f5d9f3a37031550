#pragma once

#include <random>
#include <string>
#include <string_view>

// Decimal texts ordered by string arithmetic, independently of the library's decimal type: a plain text
// ([-]digits[.digits]) is reduced to its sign, its significant digits and the power of ten of its first
// digit, and those are compared.
namespace vq::test {

struct DecimalDigits
{
    bool negative = false;
    std::string digits; // no leading or trailing zeros; empty for zero
    long exponent = 0; // the value is 0.digits x 10^exponent
};

inline DecimalDigits decimalDigits(std::string_view text)
{
    DecimalDigits d;
    size_t i = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        d.negative = text[i++] == '-';
    const size_t point = text.find('.');
    const size_t integerEnd = point == std::string_view::npos ? text.size() : point;
    std::string all(text.substr(i, integerEnd - i));
    d.exponent = long(all.size());
    if (point != std::string_view::npos)
        all += text.substr(point + 1);
    const size_t first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return DecimalDigits();
    d.exponent -= long(first);
    d.digits = all.substr(first, all.find_last_not_of('0') - first + 1);
    return d;
}

inline int compareDecimalTexts(std::string_view a, std::string_view b)
{
    const DecimalDigits x = decimalDigits(a);
    const DecimalDigits y = decimalDigits(b);
    const int sx = x.digits.empty() ? 0 : (x.negative ? -1 : 1);
    const int sy = y.digits.empty() ? 0 : (y.negative ? -1 : 1);
    if (sx != sy || sx == 0)
        return sx < sy ? -1 : (sx > sy ? 1 : 0);
    int magnitude = x.exponent < y.exponent ? -1 : (x.exponent > y.exponent ? 1 : 0);
    if (magnitude == 0) {
        const int c = x.digits.compare(y.digits); // a shorter run of the same digits is the smaller
        magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return sx * magnitude;
}

// The shortest plain text of the value: "-0.05", "1200", "0".
inline std::string plainDecimalText(std::string_view text)
{
    const DecimalDigits d = decimalDigits(text);
    if (d.digits.empty())
        return "0";
    std::string out = d.negative ? "-" : "";
    const long n = long(d.digits.size());
    if (d.exponent <= 0)
        return out + "0." + std::string(size_t(-d.exponent), '0') + d.digits;
    if (d.exponent >= n)
        return out + d.digits + std::string(size_t(d.exponent - n), '0');
    return out + d.digits.substr(0, size_t(d.exponent)) + "." + d.digits.substr(size_t(d.exponent));
}

// A random text that the automation decimal holds: up to 29 digits (the 29th-digit ones below 2^96),
// at most 28 after the point, often with trailing zeros or a minus sign.
inline std::string randomDecimalText(std::mt19937_64 &rng)
{
    const int digits = 1 + int(rng() % 29);
    std::string text;
    for (int k = 0; k < digits; ++k)
        text.push_back(char('0' + rng() % 10));
    if (digits == 29)
        text[0] = char('0' + rng() % 7);
    const int scale = int(rng() % std::min(digits + 1, 29));
    if (scale > 0)
        text.insert(text.size() - size_t(scale), ".");
    if (text.front() == '.')
        text.insert(0, "0");
    if (rng() % 3 == 0)
        text.insert(0, "-");
    return text;
}

} // namespace vq::test
