#include "ControlTraits.h"

#include <QDateTime>

namespace vq::test {

const ControlTraits &traitsOf(const QString &className)
{
    // Controls whose properties need special values; one entry each.
    static const QHash<QString, ControlTraits> traits = {
        // A colour is a plain RGB value or a system colour; the derived sample would be neither.
        {QStringLiteral("VqTextBox"), {.samples = {{QStringLiteral("ForeColor"), uint(0x0000ff)}}}},
        // Dates are saved as dates (a Variant the suite cannot make up).
        {QStringLiteral("VqDTPicker"),
            {.samples = {{QStringLiteral("MaxDate"), QDateTime(QDate(2001, 12, 31), QTime(0, 0), Qt::UTC)},
                 {QStringLiteral("MinDate"), QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC)},
                 {QStringLiteral("Value"), QDateTime(QDate(2001, 4, 18), QTime(0, 0), Qt::UTC)}}}},
    };
    static const ControlTraits none;
    const auto it = traits.constFind(className);
    return it == traits.constEnd() ? none : *it;
}

} // namespace vq::test
