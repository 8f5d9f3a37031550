#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <vector>

class QObject;
class QPixmap;
class QWidget;

namespace vq {

// The library's classes: nineteen controls and ten property pages, each with fixed identifiers, the event
// interface it raises, the pages it lists, its toolbox bitmap, its registration flags and its design size.
// The table is data only; each subsystem registers the constructors of its own classes with it, so the
// frame does not depend on the controls it creates.
class ClassTable
{
public:
    enum class Kind { Control, PropertyPage };
    enum class Events { None, Raised, InterfaceWithoutMembers };

    // Miscellaneous-status bits recorded at registration.
    enum MiscStatus : quint32 {
        RecomposeOnResize = 0x1,
        CantLinkInside = 0x10,
        InsideOut = 0x80,
        ActivateWhenVisible = 0x100,
        InvisibleAtRuntime = 0x400,
        Alignable = 0x8000,
        SetClientSiteFirst = 0x20000,
    };
    static constexpr quint32 CommonMiscStatus =
        SetClientSiteFirst | ActivateWhenVisible | InsideOut | CantLinkInside | RecomposeOnResize;

    struct ClassInfo
    {
        QString name;
        Kind kind;
        QUuid classId;
        QUuid interfaceId; // the default interface
        QUuid eventInterfaceId; // null when the class raises no events
        Events events;
        QStringList pages; // property pages listed, in order
        int toolboxBitmap; // 0 for property pages
        quint32 miscStatus; // 0 for property pages
        QSize designSize; // twips; empty for property pages
    };

    using Constructor = std::function<QObject *(QWidget *parent)>;

    static const std::vector<ClassInfo> &classes();
    static const ClassInfo *find(const QString &name);
    static const ClassInfo *find(const QUuid &classId);

    static QUuid typeLibraryId();
    static QString typeLibraryName() { return QStringLiteral("VqControls"); }
    static QString typeLibraryVersion() { return QStringLiteral("1.0"); }

    // Called by each subsystem (from a static initialiser) for the classes it provides.
    static bool registerConstructor(const QString &name, Constructor constructor);
    static bool isAvailable(const QString &name);
    // Creates an instance of a class of the table. Throws vq::Error for a name or id that the table
    // lacks, and for a class whose subsystem is not part of this build.
    static QObject *create(const QString &name, QWidget *parent = nullptr);
    static QObject *create(const QUuid &classId, QWidget *parent = nullptr);

    // The 16 x 15 toolbox picture registered under a bitmap number, compiled in by the subsystem that
    // provides the class; null when this build has none.
    static QPixmap toolboxPicture(int bitmapNumber);
};

// Registers the constructor of a class of the table under its meta-object's class name; in the class's
// .cpp file:   namespace { const bool registered = vq::registerClass<VqFoo>(); }
template<class T>
bool registerClass()
{
    return ClassTable::registerConstructor(QString::fromLatin1(T::staticMetaObject.className()),
        [](QWidget *parent) -> QObject * { return new T(parent); });
}

} // namespace vq
