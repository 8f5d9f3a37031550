// Uses the library as an outside program does: installed headers, the exported CMake package, the
// public factory and the entry points.
#include <VqControls/frame/ClassTable.h>
#include <VqControls/frame/Control.h>
#include <VqControls/frame/ControlFactory.h>
#include <VqControls/frame/EntryPoints.h>
#include <VqControls/frame/Registry.h>
#include <VqControls/platform/Error.h>
#include <VqControls/platform/Version.h>

#include <QApplication>
#include <QTextStream>

#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    out << "version " << VQ_VERSION_STRING << "\n";
    out << "classes " << vq::ClassTable::classes().size() << "\n";
    out << "typelib " << vq::ClassTable::typeLibraryName() << " " << vq::ClassTable::typeLibraryVersion()
        << "\n";
    out << "message " << OUTSIDE_MESSAGE_LIBRARY << "\n";
    out << "vqregsvr " << OUTSIDE_VQREGSVR << "\n";

    {
        // Driven by property names only, as a host that knows nothing of the C++ type.
        std::unique_ptr<vq::Control> box(vq::CreateControl(QStringLiteral("VqTextBox")));
        out << "created " << box->metaObject()->className() << "\n";
        box->InitProperties();
        box->setProperty("pDataType", 2);
        box->setProperty("Text", QStringLiteral("1234.5"));
        out << "text " << box->property("Text").toString() << " value " << box->property("Value").toString()
            << "\n";
    }
    try {
        delete vq::CreateControl(QStringLiteral("NoSuchControl"));
    } catch (const vq::Error &e) {
        out << "error " << e.number() << "\n";
    }

    // Registers into the registry of the caller's environment (VQ_REGISTRY), naming the installed file.
    out << "register " << DllRegisterServer() << "\n";
    out << "registered " << vq::Registry::entry(QStringLiteral("VqTextBox"))->library << "\n";
    return 0;
}
