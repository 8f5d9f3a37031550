#include "forms/FormFileError.h"

namespace vq {

namespace {
QString placed(int line, int column, const QString &message, const QString &path)
{
    const QString at = QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
    return path.isEmpty() ? at : path + QStringLiteral(": ") + at;
}
} // namespace

FormFileError::FormFileError(int number, int line, int column, const QString &message, const QString &path)
    : Error(number, placed(line, column, message, path))
    , m_line(line)
    , m_column(column)
    , m_message(message)
    , m_path(path)
{ }

FormFileError FormFileError::inFile(const QString &path) const
{
    return FormFileError(number(), m_line, m_column, m_message, path);
}

} // namespace vq
