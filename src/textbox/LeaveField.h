#pragma once

#include <QLocale>
#include <QString>

namespace vq {
class Error;
}

namespace vq::textbox {

// The steps of the text box's leave-field routine that need no widget.

// The codes of the text box's Alignment.
enum Alignment : short { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

// The stored value of a field's trimmed text: number fields keep the plain number ("0" without a full stop
// in the entry, "0.00" with one); every other field keeps the text itself.
QString storedValue(const QString &trimmed, quint8 dataType, const QLocale &locale = QLocale());

// The display form of a number field: "#,###.00", "#,###" or "0.00" by the two flags (true is -1 exactly);
// the text unchanged when neither flag is true or the text is not a number.
QString numberDisplay(
    const QString &trimmed, short thousandSeparator, short decimal, const QLocale &locale = QLocale());

// Sentence case: the text split at full stops; the first piece and the last capitalised (leading blanks
// removed, first character upper case, the rest lower case), the pieces between upper-cased whole.
QString sentenceCase(const QString &text);

// Tells the user of an error that stopped the leave-field routine: "number,description" through the
// warning routine, except for the error of a control without a client site, which is silent.
void reportLeaveError(const vq::Error &error);

} // namespace vq::textbox
