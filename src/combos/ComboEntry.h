#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The combo box's rules for its typed entry, without any widget: the character filter, the list match and
// what leaving the field does with the entry.
namespace vq::combos {

struct ComboKeystroke
{
    int code = 0; // the character the entry receives; 0 when it is discarded
    bool queueTab = false; // ENTER: the focus moves on to the next field
};

// One typed character (8 BACKSPACE, 13 ENTER, 22 Ctrl+V ...), given the entry's whole text before it.
// In this order: ENTER queues a TAB and is itself left as it is; otherwise the apostrophe and the semicolon
// are discarded; then every character but BACKSPACE is discarded once the whole text is at least maxLength
// long (so at the limit even a character that would replace a selection is refused, and a maxLength of 0
// or less refuses everything but BACKSPACE). Ctrl+V passes like any character, so pasted text is not
// filtered and may run past the limit.
ComboKeystroke filterComboCharacter(int code, const QString &wholeText, short maxLength);

// True when some item equals the entry once both are upper-cased by the locale (so "straße" matches
// "STRASSE", and a Turkish "istanbul" matches "İSTANBUL"). Items are compared as stored: an item with
// blanks around it never matches a trimmed entry. False for an empty list.
bool isInList(const QString &entry, const QStringList &items, const QLocale &locale = QLocale());

struct LeaveOutcome
{
    QString text; // the entry with its blanks removed from both ends
    bool refused = false; // the user is told "Invalid Select" and stays in the field
};

// Leaving the field: the trimmed entry is refused only when it is not empty, validation is on and it is in
// no item. An empty entry is always accepted.
LeaveOutcome leaveEntry(
    const QString &text, bool validateData, const QStringList &items, const QLocale &locale = QLocale());

} // namespace vq::combos
