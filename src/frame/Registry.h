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
    };

    static QString path();

    // Writes or removes one class's entry.
    static void writeEntry(const Entry &entry);
    static void removeEntry(const QUuid &classId);
    // Every entry served by the given library file.
    static void removeLibrary(const QString &library);
    static std::optional<Entry> entry(const QUuid &classId);
    static std::optional<Entry> entry(const QString &name);

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
