#include "frame/Registry.h"

#include "frame/ClassFactory.h"
#include "frame/EntryPoints.h"
#include "platform/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QSettings>
#include <QStandardPaths>

namespace vq {

namespace {
QString groupFor(const QUuid &id)
{
    return QStringLiteral("CLSID-") + id.toString(QUuid::WithoutBraces);
}

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
    s.endGroup();
    s.setValue(QStringLiteral("ProgID/") + e.name, e.classId.toString(QUuid::WithBraces));
    s.sync();
    if (s.status() != QSettings::NoError)
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
    const QString wanted = QFileInfo(library).canonicalFilePath();
    QSettings s(path(), QSettings::IniFormat);
    QList<QUuid> ids;
    for (const QString &group : s.childGroups()) {
        if (!group.startsWith(QStringLiteral("CLSID-")))
            continue;
        const QString lib = s.value(group + QStringLiteral("/Library")).toString();
        if (lib == library || (!wanted.isEmpty() && QFileInfo(lib).canonicalFilePath() == wanted))
            ids.append(QUuid(group.mid(6)));
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
    auto *factory = static_cast<ClassFactory *>(object);
    QObject *instance = factory->CreateInstance(parent);
    delete factory;
    return instance;
}

} // namespace vq
