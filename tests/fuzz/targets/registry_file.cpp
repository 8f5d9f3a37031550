#include "FuzzTarget.h"

#include "frame/ClassTable.h"
#include "frame/Registry.h"

#include <QFile>
#include <QTemporaryDir>

// The registry file as another program may have left it: any bytes. Reading it finds an entry or none,
// and never throws.
VQ_FUZZ_TARGET(registry_file)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.ini"));
    qputenv("VQ_REGISTRY", path.toUtf8());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        for (const char *name : {"VqTextBox", "VqOKButton", "VqHelpList"}) {
            const auto byName = vq::Registry::entry(QString::fromLatin1(name));
            if (byName)
                vq::Registry::entry(byName->classId);
            vq::Registry::entry(vq::ClassTable::find(QString::fromLatin1(name))->classId);
        }
        vq::Registry::typeLibrary(vq::ClassTable::typeLibraryId());
        // Section names of the form the registry writes, as the fuzzer may have copied them.
        for (const QString &line : input.split(QLatin1Char('\n'))) {
            const qsizetype at = line.indexOf(QLatin1String("CLSID-"));
            const QUuid id(at < 0 ? QString() : line.mid(at + 6, 36));
            if (!id.isNull())
                vq::Registry::entry(id);
        }
    } catch (...) {
        vqfuzz::fail("reading the registry throws nothing", input);
    }
}
