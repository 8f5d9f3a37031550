#pragma once

#include "platform/Error.h"

namespace vq {

// A form file refused: where (line and column, both from 1; columns count characters, a tab as one) and
// why. description() reads "line L, column C: message" (with "PATH: " in front when a file was read), so a
// host that only shows vq::Error still tells the user where to look.
//
// Numbers: 321 (invalid file format) for text that is not a form of this library, unknown classes,
// duplicate names, unknown keys and the size limits; a value the control itself refuses keeps the
// control's number (13 type mismatch, 380 invalid property value).
class FormFileError : public Error
{
public:
    FormFileError(int number, int line, int column, const QString &message, const QString &path = {});

    int line() const noexcept { return m_line; }
    int column() const noexcept { return m_column; }
    // The reason alone, without the place.
    QString message() const { return m_message; }
    // The file read, empty for a form read from text.
    QString path() const { return m_path; }

    // The same error, told of the file it came from.
    FormFileError inFile(const QString &path) const;

private:
    int m_line;
    int m_column;
    QString m_message;
    QString m_path;
};

} // namespace vq
