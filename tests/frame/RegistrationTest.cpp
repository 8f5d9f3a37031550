#include "TempRegistry.h"

#include "frame/ClassFactory.h"
#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/EntryPoints.h"
#include "frame/MessageComponent.h"
#include "frame/Registry.h"
#include "platform/Error.h"

#include <QFile>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

#include <memory>

using vq::ClassTable;
using vq::Registry;

namespace {

QString creatableClass()
{
    return QStringLiteral("VqTextBox");
}

std::unique_ptr<vq::ClassFactory> classObject(const QUuid &id)
{
    void *object = nullptr;
    const QUuid iid;
    EXPECT_EQ(DllGetClassObject(&id, &iid, &object), vq::status::Ok);
    return std::unique_ptr<vq::ClassFactory>(static_cast<vq::ClassFactory *>(object));
}

void expectNotRegistered(const QUuid &id)
{
    try {
        delete Registry::createObject(id);
        ADD_FAILURE() << "created an object of an unregistered class";
    } catch (const vq::Error &e) {
        EXPECT_EQ(e.number(), vq::Error::ClassNotRegistered);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Class not registered")))
            << e.description().toStdString();
    }
}

} // namespace

TEST(Registration, WritesEveryClassWithBitmapFlagsKindAndTypeLibrary)
{
    TempRegistry registry;
    ASSERT_EQ(DllRegisterServer(), vq::status::Ok);

    for (const ClassTable::ClassInfo &c : ClassTable::classes()) {
        const auto e = Registry::entry(c.classId);
        ASSERT_TRUE(e.has_value()) << c.name.toStdString();
        EXPECT_EQ(e->name, c.name);
        EXPECT_TRUE(sameFile(e->library, QStringLiteral(VQ_LIBRARY_FILE))) << e->library.toStdString();
        EXPECT_EQ(e->typeLibrary, ClassTable::typeLibraryId()) << c.name.toStdString();
        EXPECT_EQ(Registry::entry(c.name).value().classId, c.classId);
        if (c.kind == ClassTable::Kind::Control) {
            EXPECT_EQ(e->kind, QStringLiteral("control"));
            EXPECT_EQ(e->miscStatus & ClassTable::CommonMiscStatus, ClassTable::CommonMiscStatus)
                << c.name.toStdString();
        } else {
            EXPECT_EQ(e->kind, QStringLiteral("property page"));
            EXPECT_EQ(e->toolboxBitmap, 0);
        }
    }
    EXPECT_EQ(Registry::entry(QStringLiteral("VqTextBox"))->toolboxBitmap, 30019);
    EXPECT_EQ(Registry::entry(QStringLiteral("VqPrintButton"))->toolboxBitmap, 30005);
    EXPECT_EQ(Registry::entry(QStringLiteral("VqNextButton"))->toolboxBitmap, 30000);

    // Only the help list hides at run time, and only the combo box is alignable.
    for (const ClassTable::ClassInfo &c : ClassTable::classes()) {
        const quint32 status = Registry::entry(c.classId)->miscStatus;
        EXPECT_EQ(bool(status & ClassTable::InvisibleAtRuntime), c.name == QStringLiteral("VqHelpList"))
            << c.name.toStdString();
        EXPECT_EQ(bool(status & ClassTable::Alignable), c.name == QStringLiteral("VqComboBox"))
            << c.name.toStdString();
    }

    const auto typeLibrary = Registry::typeLibrary(ClassTable::typeLibraryId());
    ASSERT_TRUE(typeLibrary.has_value());
    EXPECT_EQ(typeLibrary->name, QStringLiteral("VqControls"));
    EXPECT_EQ(typeLibrary->version, QStringLiteral("1.0"));
    EXPECT_TRUE(sameFile(typeLibrary->library, QStringLiteral(VQ_LIBRARY_FILE)));
}

TEST(Registration, UnregisterRemovesOnlyThisLibrarysEntries)
{
    TempRegistry registry;
    Registry::Entry other;
    other.classId = QUuid::createUuid();
    other.name = QStringLiteral("SomeoneElsesControl");
    other.library = QStringLiteral("/opt/other/libOther.so");
    Registry::writeEntry(other);

    ASSERT_EQ(DllRegisterServer(), vq::status::Ok);
    // Registering twice leaves one entry per class, not stale duplicates.
    ASSERT_EQ(DllRegisterServer(), vq::status::Ok);
    {
        QSettings s(registry.path(), QSettings::IniFormat);
        EXPECT_EQ(
            s.childGroups().filter(QStringLiteral("CLSID-")).size(), int(ClassTable::classes().size()) + 1);
    }
    ASSERT_EQ(DllUnregisterServer(), vq::status::Ok);

    for (const ClassTable::ClassInfo &c : ClassTable::classes()) {
        EXPECT_FALSE(Registry::entry(c.classId).has_value()) << c.name.toStdString();
        EXPECT_FALSE(Registry::entry(c.name).has_value()) << c.name.toStdString();
    }
    EXPECT_FALSE(Registry::typeLibrary(ClassTable::typeLibraryId()).has_value());
    ASSERT_TRUE(Registry::entry(other.classId).has_value());
    EXPECT_EQ(Registry::entry(QStringLiteral("SomeoneElsesControl"))->library, other.library);
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(DllUnregisterServer(), vq::status::Ok);
}

TEST(Registration, ClassObjectCreatesAndKeepsTheLibraryWhileObjectsLiveOrLocksHold)
{
    const QString name = creatableClass();
    const ClassTable::ClassInfo *info = ClassTable::find(name);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(DllCanUnloadNow(), vq::status::Ok);

    auto factory = classObject(info->classId);
    ASSERT_NE(factory, nullptr);
    std::unique_ptr<QObject> object(factory->CreateInstance());
    ASSERT_NE(object, nullptr);
    EXPECT_NE(qobject_cast<vq::Control *>(object.get()), nullptr);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    object.reset();
    EXPECT_EQ(DllCanUnloadNow(), vq::status::Ok);

    factory->LockServer(true);
    factory->LockServer(true);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    factory->LockServer(false);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    factory->LockServer(false);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::Ok);
    // An unmatched unlock must not let a later lock count for nothing.
    factory->LockServer(false);
    factory->LockServer(true);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    factory->LockServer(false);
}

TEST(Registration, ObjectsThatAreNotControlsAreCountedToo)
{
    // A property page is a plain widget, not a control; it must hold the library while it lives.
    const QString page = QStringLiteral("VqTxtAbout");
    if (!ClassTable::isAvailable(page))
        ClassTable::registerConstructor(page, [](QWidget *parent) { return new QWidget(parent); });
    ASSERT_EQ(DllCanUnloadNow(), vq::status::Ok);
    auto factory = classObject(ClassTable::find(page)->classId);
    ASSERT_NE(factory, nullptr);
    auto parent = std::make_unique<QWidget>();
    factory->CreateInstance(parent.get());
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    // Destroyed with its parent, as a page is with the host's dialog.
    parent.reset();
    EXPECT_EQ(DllCanUnloadNow(), vq::status::Ok);
}

TEST(Registration, ClassObjectRefusesUnknownClassesAndNullPointers)
{
    void *object = reinterpret_cast<void *>(1);
    const QUuid unknown = QUuid::createUuid();
    EXPECT_EQ(DllGetClassObject(&unknown, nullptr, &object), vq::status::ClassNotAvailable);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DllGetClassObject(nullptr, nullptr, &object), vq::status::Pointer);
    EXPECT_EQ(DllGetClassObject(&unknown, nullptr, nullptr), vq::status::Pointer);

    // A class of the table that this build does not provide has no class object: a clear answer, no crash.
    for (const ClassTable::ClassInfo &c : ClassTable::classes()) {
        if (!ClassTable::isAvailable(c.name)) {
            EXPECT_EQ(DllGetClassObject(&c.classId, nullptr, &object), vq::status::ClassNotAvailable)
                << c.name.toStdString();
            break;
        }
    }
}

TEST(Registration, RegistryCreatesThroughTheRegisteredLibraryFile)
{
    TempRegistry registry;
    const ClassTable::ClassInfo *info = ClassTable::find(creatableClass());
    expectNotRegistered(info->classId);
    ASSERT_EQ(DllRegisterServer(), vq::status::Ok);
    std::unique_ptr<QObject> object(Registry::createObject(info->classId));
    ASSERT_NE(qobject_cast<vq::Control *>(object.get()), nullptr);
    EXPECT_EQ(DllCanUnloadNow(), vq::status::False);
    object.reset();
    EXPECT_EQ(DllCanUnloadNow(), vq::status::Ok);
    ASSERT_EQ(DllUnregisterServer(), vq::status::Ok);
    expectNotRegistered(info->classId);
}

TEST(Registration, MissingOrCorruptRegistryMeansClassNotRegistered)
{
    const QUuid id = ClassTable::find(QStringLiteral("VqTextBox"))->classId;
    TempRegistry registry;

    // No file at all.
    expectNotRegistered(id);
    EXPECT_FALSE(Registry::entry(id).has_value());
    EXPECT_FALSE(QFile::exists(registry.path())) << "reading must not create the file";

    // Garbage bytes.
    {
        QFile f(registry.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        static const char garbage[] = "\x00\xff[[[CLSID-\x01\n=\x02garbage\xfe\n";
        f.write(garbage, sizeof garbage - 1);
        f.write(QByteArray(4096, '\xa5'));
    }
    expectNotRegistered(id);
    EXPECT_FALSE(Registry::entry(id).has_value());
    // Registering over the corrupt file repairs it.
    ASSERT_EQ(DllRegisterServer(), vq::status::Ok);
    EXPECT_TRUE(sameFile(Registry::entry(id)->library, QStringLiteral(VQ_LIBRARY_FILE)));
    EXPECT_TRUE(Registry::typeLibrary(ClassTable::typeLibraryId()).has_value());

    // A well-formed entry that names a library which is gone, or a file that is no library.
    for (const QString &library : {registry.dir() + QStringLiteral("/gone.so"), registry.path(), QString()}) {
        QFile::remove(registry.path());
        Registry::Entry e;
        e.classId = id;
        e.name = QStringLiteral("VqTextBox");
        e.library = library;
        Registry::writeEntry(e);
        expectNotRegistered(id);
    }

    // A library that loads but does not serve the class.
    QFile::remove(registry.path());
    Registry::Entry e;
    e.classId = QUuid::createUuid();
    e.name = QStringLiteral("NotServedHere");
    e.library = QStringLiteral(VQ_MESSAGE_LIBRARY_FILE);
    Registry::writeEntry(e);
    expectNotRegistered(e.classId);
}

#ifdef VQ_REGSVR_FILE
namespace {
struct ProcessRun
{
    int exitCode;
    QString out;
    QString err;
};

ProcessRun vqregsvr(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VQ_REGSVR_FILE), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
        QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}
} // namespace

TEST(Vqregsvr, RegistersAndUnregistersALibraryAsAProcess)
{
    TempRegistry registry; // the child inherits VQ_REGISTRY
    const QString library = QStringLiteral(VQ_LIBRARY_FILE);

    ProcessRun r = vqregsvr({library});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("DllRegisterServer"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("succeeded"))) << r.out.toStdString();
    const auto e = Registry::entry(QStringLiteral("VqHelpList"));
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(sameFile(e->library, library));
    EXPECT_TRUE(e->miscStatus & ClassTable::InvisibleAtRuntime);

    r = vqregsvr({QStringLiteral("-u"), library});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("DllUnregisterServer"))) << r.out.toStdString();
    EXPECT_FALSE(Registry::entry(QStringLiteral("VqHelpList")).has_value());
}

TEST(Vqregsvr, SaysClearlyWhatWentWrong)
{
    TempRegistry registry;
    ProcessRun r = vqregsvr({registry.dir() + QStringLiteral("/missing.so")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no such file"))) << r.err.toStdString();

    // A file that is no library at all.
    {
        QFile f(registry.dir() + QStringLiteral("/text.so"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a library\n");
    }
    r = vqregsvr({registry.dir() + QStringLiteral("/text.so")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot be loaded"))) << r.err.toStdString();

    r = vqregsvr({});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("usage"))) << r.err.toStdString();
    r = vqregsvr({QStringLiteral("-x"), QStringLiteral(VQ_LIBRARY_FILE)});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFile::exists(registry.path())) << "nothing may be registered on bad usage";
}
#endif

TEST(Registration, EnsureRegisteredLeavesAWorkingEntryAndRepairsAStaleOne)
{
    TempRegistry registry;
    const QUuid id = vq::MessageComponent::classId();
    const QString library = QStringLiteral(VQ_MESSAGE_LIBRARY_FILE);
    EXPECT_TRUE(sameFile(Registry::defaultMessageLibrary(), library))
        << Registry::defaultMessageLibrary().toStdString();

    ASSERT_TRUE(Registry::ensureRegistered(id, library));
    EXPECT_TRUE(sameFile(Registry::entry(id)->library, library));

    // A registration of a copy elsewhere that still exists is the user's choice and is kept.
    const QString copy = registry.dir() + QStringLiteral("/libCopy.so");
    ASSERT_TRUE(QFile::copy(library, copy));
    Registry::Entry e = *Registry::entry(id);
    e.library = copy;
    Registry::writeEntry(e);
    ASSERT_TRUE(Registry::ensureRegistered(id, library));
    EXPECT_EQ(Registry::entry(id)->library, copy);

    // One whose file is gone is replaced.
    QFile::remove(copy);
    ASSERT_TRUE(Registry::ensureRegistered(id, library));
    EXPECT_TRUE(sameFile(Registry::entry(id)->library, library));

    // A library that cannot be registered leaves the answer false, without throwing.
    QFile::remove(registry.path());
    EXPECT_FALSE(Registry::ensureRegistered(id, registry.dir() + QStringLiteral("/missing.so")));
}
