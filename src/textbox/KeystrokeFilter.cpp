#include "textbox/KeystrokeFilter.h"

namespace vq::textbox {

namespace {
constexpr int CtrlC = 3;
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int CtrlX = 24;
constexpr int Apostrophe = 39;
constexpr int FullStop = 46;
constexpr int Semicolon = 59;

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool isAsciiLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int caseMapped(int code, bool upper)
{
    // Codes past the single-byte range have no mapping there and stay as they are.
    if (code <= 0 || code > 255)
        return code;
    const QChar c(code);
    const QChar mapped = upper ? c.toUpper() : c.toLower();
    return mapped.unicode() > 255 ? code : mapped.unicode();
}
} // namespace

int upperCaseCode(int code)
{
    return caseMapped(code, true);
}

int lowerCaseCode(int code)
{
    return caseMapped(code, false);
}

KeystrokeResult filterCharacter(int code, const QString &textBefore, const KeystrokeSettings &s)
{
    if (code == Apostrophe || code == Semicolon)
        return {0, false};
    if (code == Enter)
        return {code, true};
    if (textBefore.size() >= s.maxLength && code != Backspace)
        return {0, false};

    if (s.dataType == CharacterOnly) {
        if (!(isAsciiLetter(code) || code == Backspace || code == CtrlC || code == CtrlX))
            return {0, false};
    } else if (s.dataType == NumberOnly) {
        const bool control = code == CtrlX || code == Backspace || code == CtrlC;
        const bool point = isTrue(s.decimal) && code == FullStop && !textBefore.contains(QLatin1Char('.'));
        if (!(isDigit(code) || control || point))
            return {0, false};
        return {code, false}; // case rules do not apply to number fields
    }

    if (s.caseRule == UpperCase)
        code = upperCaseCode(code);
    else if (s.caseRule == LowerCase)
        code = lowerCaseCode(code);
    return {code, false};
}

} // namespace vq::textbox
