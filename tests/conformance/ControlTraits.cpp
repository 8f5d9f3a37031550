#include "ControlTraits.h"

#include "frame/Control.h"

#include <QDateTime>
#include <QFont>
#include <QMetaObject>

namespace vq::test {

namespace {
ControlTraits listTraits(bool designMode)
{
    ControlTraits t;
    t.prepare = [designMode](vq::Control &c) {
        if (designMode) {
            vq::AmbientProperties ambient;
            ambient.UserMode = false;
            c.setAmbientProperties(ambient);
        }
        for (const char *item : {"a", "b", "c"})
            QMetaObject::invokeMethod(&c, "AddItem", Q_ARG(QString, QString::fromLatin1(item)));
    };
    t.samples = {{QStringLiteral("ListIndex"), 2}, {QStringLiteral("Selected0"), false},
        {QStringLiteral("Text"), QStringLiteral("c")}, {QStringLiteral("List0"), QStringLiteral("first")}};
    if (designMode)
        t.samples.insert(QStringLiteral("Font"), QFont(QStringLiteral("Courier New"), 11));
    t.defaultsNotKept = {QStringLiteral("ListIndex")};
    return t;
}
} // namespace

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
        // The list controls save their item keys only while the list holds items, and the keys are
        // applied in turn to one selection: the samples agree with one another and with the items, and
        // an empty bag's ListIndex 0 is undone by its Selected0 false.
        {QStringLiteral("VqListBox"), listTraits(false)},
        // Loaded at design time, so that the fill (which would empty the list) does not run.
        {QStringLiteral("VqPortableListBox"), listTraits(true)},
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

std::optional<QVariant> sampleValue(const ControlTraits &traits, const vq::PropertyTable::Entry &e)
{
    using vq::BagType;
    using vq::PropertyTable;
    if (traits.samples.contains(e.key))
        return PropertyTable::bagValue(traits.samples.value(e.key), e.type);
    const QVariant def = e.currentDefault();
    switch (e.type) {
    case BagType::Boolean:
        return QVariant(!def.toBool());
    case BagType::Byte:
    case BagType::Int16:
    case BagType::Int32:
    case BagType::UInt32:
    case BagType::Double:
        return PropertyTable::bagValue(def.toInt() + 1, e.type);
    case BagType::String:
        return QVariant(QStringLiteral("sample %1").arg(e.key));
    case BagType::Variant:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace vq::test
