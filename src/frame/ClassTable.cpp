#include "frame/ClassTable.h"

#include "frame/Control.h"
#include "frame/ObjectCount.h"
#include "platform/Error.h"

#include <QHash>
#include <QObject>
#include <QPixmap>

namespace vq {

namespace {

// Every identifier of the library is a name-based (version 5) UUID in the library's own namespace, so the
// identifiers are fixed forever and need no hand-kept table of hex strings.
const QUuid LibraryNamespace(QStringLiteral("{6f1d3c2a-8b4e-4f6a-9c1d-2b7e5a9d0c41}"));

QUuid idFor(const QString &what)
{
    return QUuid::createUuidV5(LibraryNamespace, what);
}

ClassTable::ClassInfo control(const char *name, ClassTable::Events events, QStringList pages, int bitmap,
    quint32 extraStatus, QSize size)
{
    const QString n = QString::fromLatin1(name);
    return {n, ClassTable::Kind::Control, idFor(QStringLiteral("class:") + n),
        idFor(QStringLiteral("interface:_") + n),
        events == ClassTable::Events::None ? QUuid() : idFor(QStringLiteral("interface:__") + n), events,
        std::move(pages), bitmap, ClassTable::CommonMiscStatus | extraStatus, size};
}

ClassTable::ClassInfo page(const char *name)
{
    const QString n = QString::fromLatin1(name);
    return {n, ClassTable::Kind::PropertyPage, idFor(QStringLiteral("class:") + n),
        idFor(QStringLiteral("interface:_") + n), QUuid(), ClassTable::Events::None, {}, 0, 0, QSize()};
}

std::vector<ClassTable::ClassInfo> buildTable()
{
    using E = ClassTable::Events;
    const QSize button(1125, 495);
    const QStringList none;
    return {
        control("VqTextBox", E::Raised, {"VqTextGeneral", "VqTextActiveXDLL", "VqTxtAbout"}, 30019, 0,
            {2640, 330}),
        control("VqListBox", E::Raised, {"VqListGeneral", "VqListAbout"}, 30018, 0, {1875, 1800}),
        control("VqComboBox", E::Raised, {"VqComboGeneral", "VqComboAbout"}, 30017, ClassTable::Alignable,
            {4020, 315}),
        control("VqPortableListBox", E::Raised, {"VqPListGeneral", "VqPListAbout"}, 30016, 0, {3195, 2100}),
        control("VqHierarchyCombo", E::InterfaceWithoutMembers, {"VqHiearArchyComboAbout"}, 30015, 0,
            {2835, 2430}),
        control("VqClearButton", E::Raised, none, 30014, 0, button),
        control("VqOpenButton", E::Raised, none, 30013, 0, button),
        control("VqCancelButton", E::Raised, none, 30012, 0, button),
        control("VqNewButton", E::Raised, none, 30011, 0, button),
        control("VqSaveButton", E::Raised, none, 30010, 0, button),
        control("VqExitButton", E::Raised, none, 30009, 0, button),
        control("VqFirstButton", E::Raised, none, 30008, 0, button),
        control("VqPreviousButton", E::Raised, none, 30007, 0, button),
        control("VqLastButton", E::Raised, none, 30006, 0, button),
        control("VqPrintButton", E::Raised, none, 30005, 0, button),
        control("VqViewButton", E::Raised, none, 30004, 0, button),
        control("VqOKButton", E::Raised, none, 30003, 0, button),
        control("VqHelpList", E::InterfaceWithoutMembers, {"HelpListGeneral"}, 30002,
            ClassTable::InvisibleAtRuntime, {240, 270}),
        control("VqDTPicker", E::InterfaceWithoutMembers, none, 30001, 0, {2535, 330}),
        control("VqNextButton", E::Raised, none, 30000, 0, button),
        page("VqTextGeneral"),
        page("VqTextActiveXDLL"),
        page("VqTxtAbout"),
        page("VqListAbout"),
        page("VqComboAbout"),
        page("VqPListAbout"),
        page("VqHiearArchyComboAbout"),
        page("VqListGeneral"),
        page("VqPListGeneral"),
        page("VqComboGeneral"),
    };
}

QHash<QString, ClassTable::Constructor> &constructors()
{
    static QHash<QString, ClassTable::Constructor> table;
    return table;
}

} // namespace

const std::vector<ClassTable::ClassInfo> &ClassTable::classes()
{
    static const std::vector<ClassInfo> table = buildTable();
    return table;
}

const ClassTable::ClassInfo *ClassTable::find(const QString &name)
{
    for (const ClassInfo &c : classes()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const ClassTable::ClassInfo *ClassTable::find(const QUuid &classId)
{
    for (const ClassInfo &c : classes()) {
        if (c.classId == classId)
            return &c;
    }
    return nullptr;
}

QUuid ClassTable::typeLibraryId()
{
    return idFor(QStringLiteral("typelib:VqControls"));
}

bool ClassTable::registerConstructor(const QString &name, Constructor constructor)
{
    constructors().insert(name, std::move(constructor));
    return true;
}

bool ClassTable::isAvailable(const QString &name)
{
    return constructors().contains(name);
}

QObject *ClassTable::create(const QString &name, QWidget *parent)
{
    if (!find(name))
        throw Error(Error::ClassNotRegistered,
            QStringLiteral("Class not registered: the library has no class named \"%1\"").arg(name));
    auto it = constructors().constFind(name);
    if (it == constructors().constEnd())
        throw Error(Error::ClassNotRegistered,
            QStringLiteral("Class not registered: \"%1\" is listed but not available in this build")
                .arg(name));
    QObject *object = (*it)(parent);
    // Controls count themselves; anything else made here (property pages) is counted while it lives, so
    // that DllCanUnloadNow never lets the library go under a live page.
    if (object && !qobject_cast<Control *>(object))
        objects::library().track(object);
    return object;
}

QObject *ClassTable::create(const QUuid &classId, QWidget *parent)
{
    const ClassInfo *info = find(classId);
    if (!info)
        throw Error(Error::ClassNotRegistered,
            QStringLiteral("Class not registered: %1").arg(classId.toString(QUuid::WithBraces)));
    return create(info->name, parent);
}

QPixmap ClassTable::toolboxPicture(int bitmapNumber)
{
    return QPixmap(QStringLiteral(":/vq/toolbox/%1.png").arg(bitmapNumber));
}

} // namespace vq
