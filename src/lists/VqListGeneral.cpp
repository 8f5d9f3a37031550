#include "lists/VqListGeneral.h"

#include "frame/ClassTable.h"
#include "platform/Error.h"
#include "platform/KeyCodes.h"
#include "platform/SendKeys.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqListGeneral"), [](QWidget *parent) -> QObject * { return new VqListGeneral(parent); });

constexpr char QueryName[] = "Query";

} // namespace

VqListGeneral::VqListGeneral(QWidget *parent)
    : vq::DataSourcePage(parent)
{
    setObjectName(QStringLiteral("VqListGeneral"));
    queryField()->installEventFilter(this);
}

bool VqListGeneral::selectedHasQuery() const
{
    if (SelectedControls().isEmpty())
        return false;
    const QObject *control = firstSelected();
    return control->metaObject()->indexOfProperty(QueryName) >= 0 ||
        control->dynamicPropertyNames().contains(QueryName);
}

void VqListGeneral::SelectionChanged()
{
    queryField()->setPlainText(selectedHasQuery() ? readProperty(QueryName).toString() : QString());
}

void VqListGeneral::ApplyChanges()
{
    if (selectedHasQuery())
        writeProperty(QueryName, queryField()->toPlainText());
}

bool VqListGeneral::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == queryField() && event->type() == QEvent::KeyPress &&
        vq::keys::characterCode(static_cast<QKeyEvent *>(event)) == vq::keys::VkReturn) {
        // Applied before the field takes the line break, which still reaches it afterwards; the queued
        // ESCAPE then closes the dialog.
        try {
            ApplyChanges();
            vq::SendKeys(QStringLiteral("{ESCAPE}"));
        } catch (const vq::Error &e) {
            vq::reportError(e);
        }
    }
    return vq::DataSourcePage::eventFilter(watched, event);
}
