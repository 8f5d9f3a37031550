#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

namespace vq::forms {

// A font as a form file spells it out: family, size in points and the usual styles. A font with more to it
// (a pixel size, several families, letter spacing …) has no short form and is saved in Qt's own description.
struct ShortFont
{
    QString family;
    double points = 0; // more than 0
    int weight = QFont::Normal; // 1 to 1000
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

QFont toFont(const ShortFont &shortForm);
// The short form that makes exactly this font again, or none.
std::optional<ShortFont> shortFont(const QFont &font);

} // namespace vq::forms
