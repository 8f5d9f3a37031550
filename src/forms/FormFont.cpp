#include "forms/FormFont.h"

namespace vq::forms {

QFont toFont(const FontSpec &spec)
{
    // One family, even with a comma in its name (a plain QFont(family) would split it into several).
    QFont font(QString {});
    font.setFamilies({spec.family});
    font.setPointSizeF(spec.points);
    font.setWeight(QFont::Weight(spec.weight));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

std::optional<FontSpec> fontSpec(const QFont &font)
{
    if (font.pointSizeF() <= 0 || font.families().size() > 1)
        return std::nullopt;
    const FontSpec spec {
        font.family(), font.pointSizeF(), font.weight(), font.italic(), font.underline(), font.strikeOut()};
    // Whatever the spec leaves out (stretch, spacing, hinting, an oblique style …) shows as a difference.
    if (toFont(spec) != font)
        return std::nullopt;
    return spec;
}

} // namespace vq::forms
