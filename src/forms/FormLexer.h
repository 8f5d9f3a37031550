#pragma once

#include "forms/FormDescription.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace vq::forms {

// One word of a form's text. Numbers, dates and times carry their value already read: an int where it
// fits, else a qlonglong; a double for a number with a point or an exponent; a uint for 0x followed by up
// to 8 hex digits; a QDate for yyyy-mm-dd and a QDateTime with a time after a T (Z or an offset, else
// local time).
struct FormToken
{
    enum Kind { End, Identifier, String, Number, Punctuation };
    Kind kind = End;
    QString text; // the identifier, the string's value, the punctuation, or the number as written
    QVariant value; // a number's, date's or time's value
    FormPosition at;
};

// Refuses a form text: throws vq::FormFileError (321) at that place.
[[noreturn]] void refuseForm(FormPosition at, const QString &message);

// Splits a form's text into tokens. Blanks and comments (from # to the end of the line) separate them;
// strings take the escapes \" \\ \n \r \t and \uXXXX and end on their line. Anything else, a number run
// into letters (12px) or a date that does not exist, is refused (321) where it stands.
class FormLexer
{
public:
    explicit FormLexer(QString text);
    ~FormLexer();

    // The next token; End, again and again, once the text is used up.
    FormToken next();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace vq::forms
