#include "dates/DateKeys.h"

#include "platform/KeyCodes.h"

namespace vq::dates {

KeyDownAction keyDownAction(short keyCode)
{
    switch (keyCode) {
    case keys::VkReturn:
    case keys::VkDown:
        return KeyDownAction::NextField;
    case keys::VkUp:
        return KeyDownAction::PreviousField;
    case keys::VkF4:
        return KeyDownAction::OpenCalendar;
    default:
        return KeyDownAction::None;
    }
}

DateCharacterResult filterDateCharacter(int code, int textLength)
{
    constexpr int Backspace = 8;
    if (code == Backspace)
        return {code, false};
    const bool digit = code >= '0' && code <= '9';
    return {digit ? code : 0, textLength == 2 || textLength == 5};
}

} // namespace vq::dates
