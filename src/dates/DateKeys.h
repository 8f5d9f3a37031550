#pragma once

namespace vq::dates {

// The date field's rules for keys, without any widget.

// What a key going down in the date field does besides reaching the field.
enum class KeyDownAction {
    None,
    NextField, // ENTER and Down: "{TAB}"
    PreviousField, // Up: "+{TAB}"
    OpenCalendar, // F4: the picker becomes a tab stop and takes the focus, which opens its calendar
};

KeyDownAction keyDownAction(short keyCode);

struct DateCharacterResult
{
    int code = 0; // the character the field receives; 0 when it is discarded
    bool appendDash = false; // a "-" goes to the end of the text first, and the caret after it
};

// One typed character (a single-byte character code, 8 for BACKSPACE) given the length of the field's
// whole text before it. Only digits and BACKSPACE pass. Unless the character is BACKSPACE, a text of exactly
// 2 or 5 characters gets its dash, whether the character is kept or not and wherever the caret stands, so
// eight digits make "dd-mm-yyyy".
DateCharacterResult filterDateCharacter(int code, int textLength);

} // namespace vq::dates
