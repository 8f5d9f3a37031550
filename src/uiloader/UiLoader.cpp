#include "uiloader/UiLoader.h"

#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "platform/Error.h"

namespace vq {

UiLoader::UiLoader(QObject *parent)
    : QUiLoader(parent)
{ }

QWidget *UiLoader::createWidget(const QString &className, QWidget *parent, const QString &name)
{
    const ClassTable::ClassInfo *info = ClassTable::find(className);
    if (!info || info->kind != ClassTable::Kind::Control || !ClassTable::isAvailable(className))
        return QUiLoader::createWidget(className, parent, name);
    // Called from inside QUiLoader: an error becomes a widget that is not there, which load() reports.
    try {
        Control *control = CreateControl(className, parent);
        control->setObjectName(name);
        control->InitProperties();
        return control;
    } catch (const Error &e) {
        reportError(e);
        return nullptr;
    }
}

} // namespace vq
