#include "frame/modGeneral.h"

#include "frame/MessageComponent.h"
#include "frame/Registry.h"
#include "platform/Error.h"

#include <QObject>

#include <array>
#include <memory>

namespace vq {

QUuid MessageComponent::classId()
{
    return QUuid(QStringLiteral("{b7d2e1f4-3c5a-4e8b-9f60-1a2b3c4d5e6f}"));
}

namespace modGeneral {

namespace {
thread_local std::array<QVariant, 5> picked;

QVariant &slot(int n)
{
    if (n < 1 || n > 5)
        throw Error(Error::IndexOutOfBounds);
    return picked[std::size_t(n - 1)];
}
} // namespace

void ShowWarning(QString &message)
{
    // Every step may fail; a failure skips the step and the routine goes on, so a caller never sees one.
    std::unique_ptr<QObject> instance;
    try {
        instance.reset(Registry::createObject(MessageComponent::classId()));
    } catch (...) {
        // An outside component may fail in any way; none of it reaches the caller.
        return;
    }
    auto *component = qobject_cast<MessageComponent *>(instance.get());
    if (!component)
        return;
    QString title = QStringLiteral("Warning!");
    int style = 2;
    int flags = 0;
    try {
        component->ShowMessage(message, style, flags, title);
    } catch (...) { }
}

QVariant PickedValue(int n)
{
    return slot(n);
}

void SetPickedValue(int n, const QVariant &value)
{
    slot(n) = value;
}

void ClearPickedValues()
{
    for (QVariant &v : picked)
        v = QVariant();
}

} // namespace modGeneral
} // namespace vq
