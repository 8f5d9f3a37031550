#pragma once

#include <QString>

namespace vq::textbox {

// The text box's rules for one typed character, without any widget: what the field receives for a
// character code, given the field's settings and its text before the keystroke.
struct KeystrokeSettings
{
    quint8 dataType = 0; // 0 any text, 1 letters only, 2 digits only
    quint8 caseRule = 0; // 0 none, 1 upper, 2 lower, 3 sentence (applied on leaving, not here)
    short decimal = -1; // -1 (true): number fields accept one full stop
    int maxLength = 25; // 0 refuses every character but BACKSPACE; it does not mean unlimited
};

struct KeystrokeResult
{
    int code = 0; // the character the field receives; 0 when the character is discarded
    bool queueTab = false; // ENTER: the focus moves on to the next field
};

KeystrokeResult filterCharacter(int code, const QString &textBefore, const KeystrokeSettings &settings);

// The platform's single-byte case mapping of one character code.
int upperCaseCode(int code);
int lowerCaseCode(int code);

} // namespace vq::textbox
