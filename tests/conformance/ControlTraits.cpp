#include "ControlTraits.h"

#include "frame/Control.h"

#include <QDateTime>
#include <QMetaObject>

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
        // A saved ListIndex is applied only to a list that already has items.
        {QStringLiteral("VqComboBox"),
            {.prepare =
                    [](vq::Control &c) {
                        for (const char *item : {"a", "b", "c"})
                            QMetaObject::invokeMethod(&c, "AddItem",
                                Q_ARG(QString, QString::fromLatin1(item)), Q_ARG(QVariant, QVariant()));
                    },
                .samples = {{QStringLiteral("ListIndex"), short(2)}}}},
    };
    static const ControlTraits none;
    const auto it = traits.constFind(className);
    return it == traits.constEnd() ? none : *it;
}

} // namespace vq::test
