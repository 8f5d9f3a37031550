// vqregsvr [-u] LIBRARY: loads a server library and runs its DllRegisterServer, or with -u its
// DllUnregisterServer. Exit codes: 0 done, 1 the library failed or could not be loaded, 2 bad usage.
#include "frame/EntryPoints.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << "usage: vqregsvr [-u] LIBRARY\n"
           "  registers the classes of a server library in the registry file\n"
           "  (VQ_REGISTRY, else the user's configuration folder); -u removes them\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    bool unregister = false;
    QString library;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args) {
        if (arg == QLatin1String("-u") || arg == QLatin1String("/u"))
            unregister = true;
        else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            usage(err);
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')) || !library.isEmpty())
            return usage(err);
        else
            library = arg;
    }
    if (library.isEmpty())
        return usage(err);

    const QFileInfo file(library);
    if (!file.isFile()) {
        err << "vqregsvr: " << library << ": no such file\n";
        return 1;
    }
    // Loaded by its full path, so that the library records this very file in the registry.
    QLibrary lib(file.absoluteFilePath());
    if (!lib.load()) {
        err << "vqregsvr: " << library << " cannot be loaded: " << lib.errorString() << "\n";
        return 1;
    }
    const char *entryPoint = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto fn = reinterpret_cast<DllRegisterServerFn>(lib.resolve(entryPoint));
    if (!fn) {
        err << "vqregsvr: " << library << " has no " << entryPoint << "; it is not a server library\n";
        return 1;
    }
    const int result = fn();
    if (result != vq::status::Ok) {
        err << "vqregsvr: " << entryPoint << " in " << library << " failed with code 0x"
            << QString::number(quint32(result), 16) << "\n";
        return 1;
    }
    out << entryPoint << " in " << file.absoluteFilePath() << " succeeded.\n";
    return 0;
}
