#pragma once

#include <Qt>

class QKeyEvent;

namespace vq {

// Virtual key codes and shift states as hosts of the controls know them (38 Up, 40 Down, 112 F1 ...),
// and the character codes of the character-input handlers (8 BACKSPACE, 13 ENTER, 3 Ctrl+C ...).
namespace keys {

enum VirtualKey : short {
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkShift = 16,
    VkControl = 17,
    VkMenu = 18,
    VkEscape = 27,
    VkSpace = 32,
    VkPrior = 33,
    VkNext = 34,
    VkEnd = 35,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkInsert = 45,
    VkDelete = 46,
    VkF1 = 112,
    VkF4 = 115,
};

enum ShiftMask : short { ShiftMaskShift = 1, ShiftMaskCtrl = 2, ShiftMaskAlt = 4 };

// The virtual key code of a Qt key (0 for keys that have none).
short virtualKey(int qtKey);
// The Qt key of a virtual key code (0 for codes without one).
int qtKey(short virtualKey);
short shiftState(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers modifiers(short shiftState);

// The single-byte character code that a key press delivers to a character-input handler, or -1 when the
// key produces no character. Control letters map to their control codes (Ctrl+C is 3); characters beyond
// the single-byte range give a code above 255.
int characterCode(const QKeyEvent *event);

} // namespace keys
} // namespace vq
