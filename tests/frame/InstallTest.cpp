#include "TempRegistry.h"

#include "frame/ClassTable.h"
#include "frame/MessageComponent.h"
#include "frame/Registry.h"
#include "platform/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct ProcessRun
{
    bool ok;
    QString out;
};

// Runs a program to its end and says whether it exited with 0; its output (both channels) comes back
// for the failure message.
ProcessRun run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    const bool finished = p.waitForFinished(240000);
    const QString out = QString::fromLocal8Bit(p.readAll());
    return {finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
        program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QLatin1Char('\n') + out};
}

} // namespace

// Installs this build tree into a temporary prefix, builds a small outside project against the installed
// package only, and runs it together with the installed vqregsvr. With the Designer support built, the
// plugin goes where Designer looks under the prefix, and the project also builds a Designer form.
TEST(Install, AnOutsideProgramBuildsAndRunsAgainstAnInstall)
{
    const QString binaryDir = qEnvironmentVariable("VQ_BINARY_DIR");
    const QString sourceDir = qEnvironmentVariable("VQ_SOURCE_DIR");
    if (binaryDir.isEmpty() || sourceDir.isEmpty())
        GTEST_SKIP() << "VQ_BINARY_DIR and VQ_SOURCE_DIR are set by the test driver";

    TempRegistry registry;
    const QString prefix = registry.dir() + QStringLiteral("/prefix");
    const QString build = registry.dir() + QStringLiteral("/outside-build");
    const QString cmake = QStringLiteral(VQ_CMAKE_COMMAND);

    ProcessRun r = run(cmake, {QStringLiteral("--install"), binaryDir, QStringLiteral("--prefix"), prefix});
    ASSERT_TRUE(r.ok) << r.out.toStdString();

    // What an install holds: headers under include/VqControls/<folder>/, the libraries, the tool, the
    // package files.
    const QDir p(prefix);
    EXPECT_TRUE(p.exists(QStringLiteral("include/VqControls/frame/ControlFactory.h")));
    EXPECT_TRUE(p.exists(QStringLiteral("include/VqControls/platform/Version.h")));
    EXPECT_TRUE(p.exists(QStringLiteral("bin/vqregsvr")));
    const QString libDir =
        QFileInfo(p.filePath(QStringLiteral("lib"))).exists() ? p.filePath(QStringLiteral("lib")) : QString();
    ASSERT_FALSE(libDir.isEmpty());
    EXPECT_FALSE(QDir(libDir).entryList({QStringLiteral("libVqTextBoxActiveX.so*")}).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(libDir + QStringLiteral("/libVqMessageComponent.so")));
    EXPECT_TRUE(QFileInfo::exists(libDir + QStringLiteral("/cmake/VqControls/VqControlsConfig.cmake")));

    QStringList configure {QStringLiteral("-S"), sourceDir + QStringLiteral("/tests/frame/outside"),
        QStringLiteral("-B"), build, QStringLiteral("-G"), QStringLiteral(VQ_CMAKE_GENERATOR),
        QStringLiteral("-DCMAKE_CXX_COMPILER=") + QStringLiteral(VQ_CXX_COMPILER),
        QStringLiteral("-DCMAKE_BUILD_TYPE=Release"), QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix};
#ifdef VQ_DESIGNER_PLUGIN_FILE
    // Where Designer looks for plugins under the prefix (QT_PLUGIN_PATH=<prefix>/<Qt's plugin folder>).
    QPluginLoader plugin(p.filePath(QStringLiteral(VQ_QT_INSTALL_PLUGINS "/designer/") +
        QFileInfo(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE)).fileName()));
    EXPECT_NE(plugin.instance(), nullptr) << plugin.errorString().toStdString();
    configure << QStringLiteral("-DFORM_FILE=" VQ_FORM_FILE);
#endif
    r = run(cmake, configure);
    ASSERT_TRUE(r.ok) << r.out.toStdString();
    r = run(cmake, {QStringLiteral("--build"), build, QStringLiteral("-j"), QStringLiteral("2")});
    ASSERT_TRUE(r.ok) << r.out.toStdString();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VQ_REGISTRY"), registry.path());
#ifdef VQ_DESIGNER_PLUGIN_FILE
    r = run(build + QStringLiteral("/outside-form"), {}, env);
    EXPECT_TRUE(r.ok && r.out.contains(QLatin1String("forms ok"))) << r.out.toStdString();
#endif
    r = run(build + QStringLiteral("/outside"), {}, env);
    ASSERT_TRUE(r.ok) << r.out.toStdString();
    const QString out = r.out;
    EXPECT_TRUE(out.contains(QStringLiteral("version 2.2.52\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("classes %1\n").arg(vq::ClassTable::classes().size())))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("typelib VqControls 1.0\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("created VqTextBox\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("text 1,234.50 value 1234.50\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("error %1\n").arg(int(vq::Error::ClassNotRegistered))))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("register 0\n"))) << out.toStdString();
    // The program ran on the installed library, not on the build tree's.
    const auto textBox = vq::Registry::entry(QStringLiteral("VqTextBox"));
    ASSERT_TRUE(textBox.has_value());
    EXPECT_TRUE(
        QFileInfo(textBox->library).canonicalFilePath().startsWith(QFileInfo(libDir).canonicalFilePath()))
        << textBox->library.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("message ") + libDir)) << out.toStdString();

    // The installed tool registers the installed message component, which finds its library beside it.
    r = run(p.filePath(QStringLiteral("bin/vqregsvr")),
        {libDir + QStringLiteral("/libVqMessageComponent.so")}, env);
    ASSERT_TRUE(r.ok) << r.out.toStdString();
    const auto message = vq::Registry::entry(vq::MessageComponent::classId());
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(sameFile(message->library, libDir + QStringLiteral("/libVqMessageComponent.so")));
}
