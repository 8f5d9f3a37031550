#include "combos/ComboEntry.h"

#include "platform/Blanks.h"

namespace vq::combos {

namespace {
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Apostrophe = 39;
constexpr int Semicolon = 59;
} // namespace

ComboKeystroke filterComboCharacter(int code, const QString &wholeText, short maxLength)
{
    ComboKeystroke r {code, false};
    if (code == Enter)
        r.queueTab = true;
    else if (code == Apostrophe || code == Semicolon)
        r.code = 0;
    if (wholeText.size() >= maxLength && code != Backspace)
        r.code = 0;
    return r;
}

bool isInList(const QString &entry, const QStringList &items, const QLocale &locale)
{
    const QString wanted = locale.toUpper(entry);
    for (const QString &item : items) {
        if (locale.toUpper(item) == wanted)
            return true;
    }
    return false;
}

LeaveOutcome leaveEntry(
    const QString &text, bool validateData, const QStringList &items, const QLocale &locale)
{
    LeaveOutcome out;
    out.text = vq::trimBlanks(text);
    out.refused = !out.text.isEmpty() && validateData && !isInList(out.text, items, locale);
    return out;
}

} // namespace vq::combos
