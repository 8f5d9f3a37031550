#include "frame/ControlFactory.h"

#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "platform/Error.h"

namespace vq {

namespace {
Control *asControl(QObject *object, const QString &what)
{
    if (auto *c = qobject_cast<Control *>(object))
        return c;
    delete object;
    throw Error(
        Error::ClassNotRegistered, QStringLiteral("Class not registered: %1 is not a control").arg(what));
}
} // namespace

Control *CreateControl(const QString &className, QWidget *parent)
{
    return asControl(ClassTable::create(className, parent), className);
}

Control *CreateControl(const QUuid &classId, QWidget *parent)
{
    return asControl(ClassTable::create(classId, parent), classId.toString());
}

} // namespace vq
