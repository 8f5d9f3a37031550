#include "frame/Registry.h"

#include "frame/ClassFactory.h"
#include "frame/EntryPoints.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

namespace vq {

namespace {
QString groupFor(const QUuid &id)
{
    return QStringLiteral("CLSID-") + id.toString(QUuid::WithoutBraces);
}

QString typeLibraryGroupFor(const QUuid &id)
{
    return QStringLiteral("TypeLib-") + id.toString(QUuid::WithoutBraces);
}

bool sameLibrary(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Anchors this library's own file for defaultMessageLibrary().
const char anchor = 0;

struct ClassObjects
{
    QHash<int, std::pair<QUuid, ClassFactory *>> byCookie;
    int next = 1;
};

ClassObjects &classObjects()
{
    static ClassObjects objects;
    return objects;
}

[[noreturn]] void notRegistered(const QUuid &id, const QString &why)
{
    throw Error(Error::ClassNotRegistered,
        QStringLiteral("Class not registered: %1 (%2)").arg(id.toString(QUuid::WithBraces), why));
}

Registry::Entry readEntry(QSettings &s, const QUuid &id)
{
    s.beginGroup(groupFor(id));
    Registry::Entry e;
    e.classId = id;
    e.name = s.value(QStringLiteral("Name")).toString();
    e.library = s.value(QStringLiteral("Library")).toString();
    e.toolboxBitmap = s.value(QStringLiteral("ToolboxBitmap")).toInt();
    e.miscStatus = s.value(QStringLiteral("MiscStatus")).toUInt();
    e.kind = s.value(QStringLiteral("Kind")).toString();
    e.typeLibrary = QUuid(s.value(QStringLiteral("TypeLib")).toString());
    s.endGroup();
    return e;
}
} // namespace

QString Registry::path()
{
    const QString env = qEnvironmentVariable("VQ_REGISTRY");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/VqControls/registry.ini");
}

void Registry::writeEntry(const Entry &e)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QSettings s(path(), QSettings::IniFormat);
    s.beginGroup(groupFor(e.classId));
    s.setValue(QStringLiteral("Name"), e.name);
    s.setValue(QStringLiteral("Library"), e.library);
    s.setValue(QStringLiteral("ToolboxBitmap"), e.toolboxBitmap);
    s.setValue(QStringLiteral("MiscStatus"), e.miscStatus);
    s.setValue(QStringLiteral("Kind"), e.kind);
    if (e.typeLibrary.isNull())
        s.remove(QStringLiteral("TypeLib"));
    else
        s.setValue(QStringLiteral("TypeLib"), e.typeLibrary.toString(QUuid::WithBraces));
    s.endGroup();
    s.setValue(QStringLiteral("ProgID/") + e.name, e.classId.toString(QUuid::WithBraces));
    s.sync();
    // A format error only says that the old content was unreadable; the file is rewritten whole, which
    // repairs it.
    if (s.status() == QSettings::AccessError)
        throw Error(
            Error::InvalidProcedureCall, QStringLiteral("Cannot write the registry file %1").arg(path()));
}

void Registry::removeEntry(const QUuid &classId)
{
    QSettings s(path(), QSettings::IniFormat);
    const QString name = s.value(groupFor(classId) + QStringLiteral("/Name")).toString();
    s.remove(groupFor(classId));
    if (!name.isEmpty())
        s.remove(QStringLiteral("ProgID/") + name);
}

void Registry::removeLibrary(const QString &library)
{
    if (!QFileInfo::exists(path()))
        return;
    QList<QUuid> ids;
    {
        QSettings s(path(), QSettings::IniFormat);
        for (const QString &group : s.childGroups()) {
            const QString lib = s.value(group + QStringLiteral("/Library")).toString();
            if (!sameLibrary(lib, library))
                continue;
            if (group.startsWith(QStringLiteral("CLSID-")))
                ids.append(QUuid(group.mid(6)));
            else if (group.startsWith(QStringLiteral("TypeLib-")))
                s.remove(group);
        }
    }
    for (const QUuid &id : ids)
        removeEntry(id);
}

std::optional<Registry::Entry> Registry::entry(const QUuid &classId)
{
    if (!QFileInfo::exists(path()))
        return std::nullopt;
    QSettings s(path(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError || !s.childGroups().contains(groupFor(classId)))
        return std::nullopt;
    return readEntry(s, classId);
}

std::optional<Registry::Entry> Registry::entry(const QString &name)
{
    if (!QFileInfo::exists(path()))
        return std::nullopt;
    QSettings s(path(), QSettings::IniFormat);
    const QUuid id(s.value(QStringLiteral("ProgID/") + name).toString());
    if (id.isNull())
        return std::nullopt;
    return entry(id);
}

void Registry::writeTypeLibrary(const TypeLibrary &t)
{
    QDir().mkpath(QFileInfo(path()).absolutePath());
    QSettings s(path(), QSettings::IniFormat);
    s.beginGroup(typeLibraryGroupFor(t.id));
    s.setValue(QStringLiteral("Name"), t.name);
    s.setValue(QStringLiteral("Version"), t.version);
    s.setValue(QStringLiteral("Library"), t.library);
    s.endGroup();
    s.sync();
    // A format error only says that the old content was unreadable; the file is rewritten whole, which
    // repairs it.
    if (s.status() == QSettings::AccessError)
        throw Error(
            Error::InvalidProcedureCall, QStringLiteral("Cannot write the registry file %1").arg(path()));
}

std::optional<Registry::TypeLibrary> Registry::typeLibrary(const QUuid &id)
{
    if (!QFileInfo::exists(path()))
        return std::nullopt;
    QSettings s(path(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError || !s.childGroups().contains(typeLibraryGroupFor(id)))
        return std::nullopt;
    s.beginGroup(typeLibraryGroupFor(id));
    return TypeLibrary {id, s.value(QStringLiteral("Name")).toString(),
        s.value(QStringLiteral("Version")).toString(), s.value(QStringLiteral("Library")).toString()};
}

QString Registry::libraryOf(const void *address)
{
#if defined(Q_OS_UNIX)
    Dl_info info {};
    if (dladdr(address, &info) != 0 && info.dli_fname && *info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
#else
    Q_UNUSED(address);
#endif
    return QString();
}

void Registry::registerServer(const QString &library, bool unregister)
{
    const char *entryPoint = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    // A server must be named by its file: a bare name would be looked up on the loader's search path,
    // and the registry would then record whatever that found.
    if (!QFileInfo(library).isFile())
        throw Error(Error::InvalidProcedureCall, QStringLiteral("%1: no such file").arg(library));
    QLibrary lib(QFileInfo(library).absoluteFilePath());
    if (!lib.load())
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("%1 cannot be loaded: %2").arg(library, lib.errorString()));
    auto fn = reinterpret_cast<DllRegisterServerFn>(lib.resolve(entryPoint));
    if (!fn)
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("%1 has no entry point %2; it is not a server library")
                .arg(library, QString::fromLatin1(entryPoint)));
    const int result = fn();
    if (result != status::Ok)
        throw Error(Error::InvalidProcedureCall,
            QStringLiteral("%1 in %2 failed with code 0x%3")
                .arg(QString::fromLatin1(entryPoint), library,
                    QStringLiteral("%1").arg(quint32(result), 8, 16, QLatin1Char('0'))));
}

bool Registry::ensureRegistered(const QUuid &classId, const QString &library)
{
    if (const auto e = entry(classId); e && QFileInfo::exists(e->library))
        return true;
    try {
        registerServer(library);
    } catch (const Error &error) {
        qWarning("%s", error.what());
        return false;
    }
    return entry(classId).has_value();
}

QString Registry::defaultMessageLibrary()
{
    const QString dir = QFileInfo(libraryOf(&anchor)).absolutePath();
#if defined(Q_OS_WIN)
    return dir + QStringLiteral("/VqMessageComponent.dll");
#else
    return dir + QStringLiteral("/libVqMessageComponent.so");
#endif
}

int Registry::registerClassObject(const QUuid &classId, ClassFactory *factory)
{
    ClassObjects &objects = classObjects();
    const int cookie = objects.next++;
    objects.byCookie.insert(cookie, {classId, factory});
    return cookie;
}

void Registry::revokeClassObject(int cookie)
{
    classObjects().byCookie.remove(cookie);
}

QObject *Registry::createObject(const QUuid &classId, QWidget *parent)
{
    // The most recent process registration wins, as a later registration replaces an earlier one.
    ClassFactory *own = nullptr;
    int newest = 0;
    for (auto it = classObjects().byCookie.cbegin(); it != classObjects().byCookie.cend(); ++it) {
        if (it->first == classId && it.key() > newest) {
            newest = it.key();
            own = it->second;
        }
    }
    if (own)
        return own->CreateInstance(parent);

    if (!QFileInfo::exists(path()))
        notRegistered(classId, QStringLiteral("no registry file at %1").arg(path()));
    QSettings s(path(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        notRegistered(classId, QStringLiteral("the registry file %1 cannot be read").arg(path()));
    if (!s.childGroups().contains(groupFor(classId)))
        notRegistered(classId, QStringLiteral("not in %1").arg(path()));
    const Entry e = readEntry(s, classId);

    // The library stays loaded for the life of the process, as the platform keeps servers loaded until
    // it is asked to free unused ones.
    QLibrary library(e.library);
    if (!library.load())
        notRegistered(classId, library.errorString());
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(library.resolve("DllGetClassObject"));
    if (!getClassObject)
        notRegistered(classId, QStringLiteral("%1 has no DllGetClassObject").arg(e.library));
    void *object = nullptr;
    const QUuid iid;
    if (getClassObject(&classId, &iid, &object) != status::Ok || !object)
        notRegistered(classId, QStringLiteral("%1 does not serve this class").arg(e.library));
    const std::unique_ptr<ClassFactory> factory(static_cast<ClassFactory *>(object));
    return factory->CreateInstance(parent);
}

} // namespace vq
