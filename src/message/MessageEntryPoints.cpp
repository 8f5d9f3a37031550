// The four entry points of the message component module.
#include "MessageBoxComponent.h"

#include "frame/ClassFactory.h"
#include "frame/EntryPoints.h"
#include "frame/Registry.h"
#include "platform/Error.h"

namespace {

// Its address lies inside this module; see Registry::libraryOf.
const char anchor = 0;

class MessageBoxFactory : public vq::ClassFactory
{
public:
    // A widget parent is meaningless for a component that only shows a modal box; the instance is owned
    // by whoever created it.
    QObject *CreateInstance(QWidget * = nullptr) override { return new vq::message::MessageBoxComponent; }
    void LockServer(bool lock) override { vq::message::MessageBoxComponent::server().lock(lock); }
};

} // namespace

extern "C" {

Q_DECL_EXPORT int DllRegisterServer()
{
    const QString library = vq::Registry::libraryOf(&anchor);
    if (library.isEmpty())
        return vq::status::RegisterFailed;
    try {
        vq::Registry::Entry e;
        e.classId = vq::MessageComponent::classId();
        e.name = QStringLiteral("VqMessageComponent");
        e.library = library;
        e.kind = QStringLiteral("component");
        vq::Registry::writeEntry(e);
    } catch (const vq::Error &error) {
        qWarning("%s", error.what());
        return vq::status::RegisterFailed;
    }
    return vq::status::Ok;
}

Q_DECL_EXPORT int DllUnregisterServer()
{
    const QString library = vq::Registry::libraryOf(&anchor);
    if (library.isEmpty())
        return vq::status::RegisterFailed;
    vq::Registry::removeLibrary(library);
    return vq::status::Ok;
}

Q_DECL_EXPORT int DllGetClassObject(const QUuid *classId, const QUuid *, void **object)
{
    if (!object)
        return vq::status::Pointer;
    *object = nullptr;
    if (!classId)
        return vq::status::Pointer;
    if (*classId != vq::MessageComponent::classId())
        return vq::status::ClassNotAvailable;
    *object = static_cast<vq::ClassFactory *>(new MessageBoxFactory);
    return vq::status::Ok;
}

Q_DECL_EXPORT int DllCanUnloadNow()
{
    return vq::message::MessageBoxComponent::server().canUnload() ? vq::status::Ok : vq::status::False;
}
}
