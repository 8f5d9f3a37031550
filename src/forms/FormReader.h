#pragma once

#include "forms/FormDescription.h"

#include <QByteArrayView>

namespace vq::forms {

// The largest form text read, and the most controls one form may hold: a form file is written by people
// and by this library, so anything beyond these is a wrong file, not a big form.
constexpr qsizetype MaxFormBytes = 16 * 1024 * 1024;
constexpr int MaxFormControls = 10000;
// Positions and sizes lie within this many twips either side of zero.
constexpr int MaxFormTwips = 1000000;

// Refuses (321, at line 1, column 1) a form text or file of more than MaxFormBytes, before it is read.
void checkFormSize(qint64 bytes);

// Reads a form's text (the grammar is in forms/FormFile.h) into its description, checking everything that
// needs no control: the text is UTF-8 without control characters, well formed and within the limits
// above, no two controls share a name and no control holds a key twice. Classes and keys are not looked
// up here. Throws vq::FormFileError (321) at the first fault, with its line and column.
FormDescription readForm(QByteArrayView text);

} // namespace vq::forms
