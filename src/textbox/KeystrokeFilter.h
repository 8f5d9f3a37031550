#pragma once

#include "frame/Boolean.h"

#include <QString>

namespace vq::textbox {

// The codes of the text box's pDataType and pCase; other values are stored as given and match no rule.
enum DataType : quint8 { GeneralData = 0, CharacterOnly = 1, NumberOnly = 2 };
enum CaseRule : quint8 { GeneralCase = 0, UpperCase = 1, LowerCase = 2, SentenceCase = 3 };

// The text box's rules for one typed character, without any widget: what the field receives for a
// character code, given the field's settings and its text before the keystroke.
struct KeystrokeSettings
{
    quint8 dataType = GeneralData;
    quint8 caseRule = GeneralCase; // sentence case is applied on leaving, not here
    short decimal = BooleanTrue; // true: number fields accept one full stop
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
