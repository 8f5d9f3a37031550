#include "platform/KeyCodes.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace vq::keys {

namespace {
constexpr std::array<std::pair<int, short>, 21> FixedKeys = {{
    {Qt::Key_Backspace, VkBack},
    {Qt::Key_Tab, VkTab},
    {Qt::Key_Backtab, VkTab},
    {Qt::Key_Return, VkReturn},
    {Qt::Key_Enter, VkReturn},
    {Qt::Key_Shift, VkShift},
    {Qt::Key_Control, VkControl},
    {Qt::Key_Alt, VkMenu},
    {Qt::Key_Escape, VkEscape},
    {Qt::Key_Space, VkSpace},
    {Qt::Key_PageUp, VkPrior},
    {Qt::Key_PageDown, VkNext},
    {Qt::Key_End, VkEnd},
    {Qt::Key_Home, VkHome},
    {Qt::Key_Left, VkLeft},
    {Qt::Key_Up, VkUp},
    {Qt::Key_Right, VkRight},
    {Qt::Key_Down, VkDown},
    {Qt::Key_Insert, VkInsert},
    {Qt::Key_Delete, VkDelete},
    {Qt::Key_Period, 190},
}};
} // namespace

short virtualKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return short(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return short(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return short(VkF1 + (key - Qt::Key_F1));
    for (const auto &[q, vk] : FixedKeys) {
        if (q == key)
            return vk;
    }
    return 0;
}

int qtKey(short vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return vk;
    if (vk >= VkF1 && vk < VkF1 + 24)
        return Qt::Key_F1 + (vk - VkF1);
    for (const auto &[q, v] : FixedKeys) {
        if (v == vk)
            return q;
    }
    return 0;
}

short shiftState(Qt::KeyboardModifiers m)
{
    short s = 0;
    if (m & Qt::ShiftModifier)
        s |= ShiftMaskShift;
    if (m & Qt::ControlModifier)
        s |= ShiftMaskCtrl;
    if (m & Qt::AltModifier)
        s |= ShiftMaskAlt;
    return s;
}

Qt::KeyboardModifiers modifiers(short s)
{
    Qt::KeyboardModifiers m;
    if (s & ShiftMaskShift)
        m |= Qt::ShiftModifier;
    if (s & ShiftMaskCtrl)
        m |= Qt::ControlModifier;
    if (s & ShiftMaskAlt)
        m |= Qt::AltModifier;
    return m;
}

int characterCode(const QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Backspace)
        return 8;
    if ((e->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return -1;
    const QString text = e->text();
    if (text.size() != 1)
        return -1;
    const QChar c = text.at(0);
    if (c.unicode() < 32 && c.unicode() != 8 && c.unicode() != 13)
        return -1;
    return c.unicode() == 127 ? -1 : c.unicode();
}

} // namespace vq::keys
