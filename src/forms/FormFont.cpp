#include "forms/FormFont.h"

namespace vq::forms {

QFont toFont(const ShortFont &shortForm)
{
    // One family, even with a comma in its name (a plain QFont(family) would split it into several).
    QFont font(QString {});
    font.setFamilies({shortForm.family});
    font.setPointSizeF(shortForm.points);
    font.setWeight(QFont::Weight(shortForm.weight));
    font.setItalic(shortForm.italic);
    font.setUnderline(shortForm.underline);
    font.setStrikeOut(shortForm.strikeOut);
    return font;
}

std::optional<ShortFont> shortFont(const QFont &font)
{
    if (font.pointSizeF() <= 0 || font.families().size() > 1)
        return std::nullopt;
    const ShortFont shortForm {
        font.family(), font.pointSizeF(), font.weight(), font.italic(), font.underline(), font.strikeOut()};
    // Whatever the short form leaves out (stretch, spacing, hinting, an oblique style …) shows as a
    // difference.
    if (toFont(shortForm) != font)
        return std::nullopt;
    return shortForm;
}

} // namespace vq::forms
