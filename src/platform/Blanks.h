#pragma once

#include <QString>

namespace vq {

// Blanks (spaces) removed from both ends; other white space (tabs, line breaks) is kept, as the platform's
// trim does. Every entry control trims what the user leaves in a field this way.
QString trimBlanks(const QString &text);

} // namespace vq
