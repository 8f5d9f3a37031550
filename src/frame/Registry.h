#pragma once

#include <QString>
#include <QUuid>

#include <optional>

class QObject;
class QWidget;

namespace vq {

class ClassFactory;

// The registry of classes: a small INI file (its path from the VQ_REGISTRY environment variable, else
// VqControls/registry.ini in the user's configuration folder) that maps class ids to the library that
// serves them, with each class's name, toolbox bitmap, status flags and type library. A process may also
// register class objects of its own for its lifetime, which take precedence over the file.
class Registry
{
public:
    struct Entry
    {
        QUuid classId;
        QString name;
        QString library;
        int toolboxBitmap = 0;
        quint32 miscStatus = 0;
        QString kind;
        QUuid typeLibrary; // null for a class that describes itself through no type library
    };

    struct TypeLibrary
    {
        QUuid id;
        QString name;
        QString version;
        QString library;
    };

    static QString path();

    // Writes or removes one class's entry.
    static void writeEntry(const Entry &entry);
    static void removeEntry(const QUuid &classId);
    // Every entry served by the given library file.
    static void removeLibrary(const QString &library);
    static std::optional<Entry> entry(const QUuid &classId);
    static std::optional<Entry> entry(const QString &name);

    static void writeTypeLibrary(const TypeLibrary &typeLibrary);
    static std::optional<TypeLibrary> typeLibrary(const QUuid &id);

    // The absolute path of the loaded library (or program) that holds address; empty when unknown. A
    // library passes the address of one of its own internal objects to find its own file.
    static QString libraryOf(const void *address);

    // Loads a server library and runs its DllRegisterServer (or DllUnregisterServer). Throws vq::Error
    // with a readable description when the library cannot be loaded, lacks the entry point or reports a
    // failure.
    static void registerServer(const QString &library, bool unregister = false);
    // Makes sure classId is served: leaves a registration alone whose library file exists, else
    // registers library. Returns whether the class is registered afterwards; never throws.
    static bool ensureRegistered(const QUuid &classId, const QString &library);
    // The default message component's library, installed (and built) beside this library.
    static QString defaultMessageLibrary();

    // Process-wide class objects, as with the platform's run-time class registration. The registry does not
    // own the factory. Returns a cookie for revokeClassObject.
    static int registerClassObject(const QUuid &classId, ClassFactory *factory);
    static void revokeClassObject(int cookie);

    // Creates an instance of a registered class: a process-registered class object first, else the library
    // named in the registry file, loaded and asked through DllGetClassObject. Throws vq::Error "Class not
    // registered" when the class is unknown, the file is missing or unreadable, or the library cannot be
    // loaded.
    static QObject *createObject(const QUuid &classId, QWidget *parent = nullptr);
};

} // namespace vq
