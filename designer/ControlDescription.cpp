#include "ControlDescription.h"

#include <QHash>

namespace vq::designer {

namespace {

struct Entry
{
    const char *folder;
    const char *header;
    const char *toolTip;
    const char *whatsThis;
};

const QHash<QString, Entry> &entries()
{
    static const QHash<QString, Entry> table {
        {QStringLiteral("VqTextBox"),
            {"textbox", "VqTextBox.h", "Validated text field",
                "A single-line entry field that filters keystrokes by data type (any text, letters, digits), "
                "converts case, moves to the next field on Enter and the arrow keys, raises HelpAction on F1 "
                "or a double-click, and formats numbers with decimals and thousand separators when it is "
                "left."}},
        {QStringLiteral("VqListBox"),
            {"lists", "VqListBox.h", "List box",
                "A plain list of texts filled by the program with AddItem; ListIndex, Text and Selected(i) "
                "give the user's choice."}},
        {QStringLiteral("VqComboBox"),
            {"combos", "VqComboBox.h", "Combo box with list validation",
                "An editable combo box that can insist, when it is left, that the typed entry is one of its "
                "items (ValidateData)."}},
        {QStringLiteral("VqPortableListBox"),
            {"lists", "VqPortableListBox.h", "Pick list filled from an ODBC file data source",
                "A drop-down pick list that fills itself with the first column of an SQL query (Query) over "
                "an ODBC file data source (DSNName) when RefreshData is called. It stays empty while the "
                "form is designed."}},
        {QStringLiteral("VqHierarchyCombo"),
            {"combos", "VqHierarchyCombo.h", "Entry field with a drop-down tree",
                "An entry field whose drop-down is a tree of keyed nodes; picking a node puts its text into "
                "the field."}},
        {QStringLiteral("VqHelpList"),
            {"helplist", "VqHelpList.h", "Lookup list (invisible at run time)",
                "A handle for a lookup: DisplayHelpList(connection, query) opens a modal window over the "
                "query's rows with search, filter and order, and leaves the picked row's first five cells in "
                "Value to Value5. Only its picture shows while the form is designed."}},
        {QStringLiteral("VqDTPicker"),
            {"dates", "VqDTPicker.h", "Date field with a calendar",
                "A date field that takes digits and puts in the dashes itself, opens a calendar on F4 and "
                "checks the permitted range MinDate to MaxDate when it is left."}},
    };
    return table;
}

QString buttonCaption(const QString &className)
{
    // VqOKButton -> OK, VqPreviousButton -> Previous.
    return className.mid(2, className.size() - 2 - int(qstrlen("Button")));
}

} // namespace

ControlDescription describe(const QString &className)
{
    const auto it = entries().constFind(className);
    if (it != entries().constEnd()) {
        const Entry &e = *it;
        return {QStringLiteral("VqControls/%1/%2").arg(QLatin1String(e.folder), QLatin1String(e.header)),
            QString::fromUtf8(e.toolTip), QString::fromUtf8(e.whatsThis)};
    }
    if (className.startsWith(QLatin1String("Vq")) && className.endsWith(QLatin1String("Button"))) {
        const QString caption = buttonCaption(className);
        return {QStringLiteral("VqControls/buttons/CommandButtons.h"),
            QStringLiteral("%1 command button").arg(caption),
            QStringLiteral("The %1 push button of a data-entry screen's command row, with its caption and "
                           "picture; it raises Click.")
                .arg(caption)};
    }
    return {QStringLiteral("%1.h").arg(className), className, QString()};
}

} // namespace vq::designer
