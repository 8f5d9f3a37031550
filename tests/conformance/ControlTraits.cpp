#include "ControlTraits.h"

namespace vq::test {

const ControlTraits &traitsOf(const QString &className)
{
    // Controls whose properties need special values; one entry each.
    static const QHash<QString, ControlTraits> traits = {
        // A colour is a plain RGB value or a system colour; the derived sample would be neither.
        {QStringLiteral("VqTextBox"), {.samples = {{QStringLiteral("ForeColor"), uint(0x0000ff)}}}},
    };
    static const ControlTraits none;
    const auto it = traits.constFind(className);
    return it == traits.constEnd() ? none : *it;
}

} // namespace vq::test
