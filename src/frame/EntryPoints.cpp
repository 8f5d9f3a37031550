#include "frame/EntryPoints.h"

#include "frame/ClassTable.h"
#include "frame/ObjectCount.h"
#include "frame/Registry.h"
#include "frame/TableClassFactory.h"
#include "platform/Error.h"

// The entry points call only internal functions: when several server libraries are loaded into one
// process, an exported name used from inside a library may bind to another library's definition.
namespace {

// Its address lies inside this library, whichever copy of it the process loaded.
const char anchor = 0;

QString thisLibrary()
{
    return vq::Registry::libraryOf(&anchor);
}

QString kindName(vq::ClassTable::Kind kind)
{
    return kind == vq::ClassTable::Kind::Control ? QStringLiteral("control")
                                                 : QStringLiteral("property page");
}

int registerServer()
{
    const QString library = thisLibrary();
    if (library.isEmpty())
        return vq::status::RegisterFailed;
    try {
        // Entries left by an earlier registration of this file (say, of a class since renamed) go first.
        vq::Registry::removeLibrary(library);
        const QUuid typeLibrary = vq::ClassTable::typeLibraryId();
        vq::Registry::writeTypeLibrary(
            {typeLibrary, vq::ClassTable::typeLibraryName(), vq::ClassTable::typeLibraryVersion(), library});
        for (const vq::ClassTable::ClassInfo &c : vq::ClassTable::classes()) {
            vq::Registry::Entry e;
            e.classId = c.classId;
            e.name = c.name;
            e.library = library;
            e.toolboxBitmap = c.toolboxBitmap;
            e.miscStatus = c.miscStatus;
            e.kind = kindName(c.kind);
            e.typeLibrary = typeLibrary;
            vq::Registry::writeEntry(e);
        }
    } catch (const vq::Error &error) {
        qWarning("%s", error.what());
        return vq::status::RegisterFailed;
    }
    return vq::status::Ok;
}

int unregisterServer()
{
    const QString library = thisLibrary();
    if (library.isEmpty())
        return vq::status::RegisterFailed;
    vq::Registry::removeLibrary(library);
    return vq::status::Ok;
}

int getClassObject(const QUuid *classId, void **object)
{
    if (!object)
        return vq::status::Pointer;
    *object = nullptr;
    if (!classId)
        return vq::status::Pointer;
    const vq::ClassTable::ClassInfo *info = vq::ClassTable::find(*classId);
    // A class listed in the table but not part of this build has no class object either.
    if (!info || !vq::ClassTable::isAvailable(info->name))
        return vq::status::ClassNotAvailable;
    *object = static_cast<vq::ClassFactory *>(new vq::TableClassFactory(*classId));
    return vq::status::Ok;
}

int canUnloadNow()
{
    return vq::objects::library().canUnload() ? vq::status::Ok : vq::status::False;
}

} // namespace

extern "C" {

int DllRegisterServer()
{
    return registerServer();
}

int DllUnregisterServer()
{
    return unregisterServer();
}

// Every class object is a vq::ClassFactory; the interface id is not consulted.
int DllGetClassObject(const QUuid *classId, const QUuid *, void **object)
{
    return getClassObject(classId, object);
}

int DllCanUnloadNow()
{
    return canUnloadNow();
}
}
