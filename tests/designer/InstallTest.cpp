// An install holds the Designer plugin where Designer looks under the prefix, and a program outside the
// source tree builds a Designer form with uic and vq::UiLoader against the installed package alone.
#include <QDir>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

namespace {

// Runs a program to its end; true when it exited with 0. Its output comes back for the failure message.
bool run(const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForFinished(240000);
    *output = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QLatin1Char('\n') +
        QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(DesignerInstall, ThePluginGoesToDesignersFolderAndAFormBuildsAgainstTheInstall)
{
    const QString binaryDir = qEnvironmentVariable("VQ_BINARY_DIR");
    if (binaryDir.isEmpty())
        GTEST_SKIP() << "VQ_BINARY_DIR is set by the test driver";
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("prefix"));
    const QString build = dir.filePath(QStringLiteral("outside-build"));
    const QString cmake = QStringLiteral(VQ_CMAKE_COMMAND);
    QString out;
    ASSERT_TRUE(
        run(cmake, {QStringLiteral("--install"), binaryDir, QStringLiteral("--prefix"), prefix}, &out))
        << out.toStdString();

    // Where Designer looks for plugins under the prefix (QT_PLUGIN_PATH=<prefix>/<Qt's plugin folder>).
    const QString plugin = QDir(prefix).filePath(QStringLiteral(VQ_QT_INSTALL_PLUGINS "/designer/") +
        QFileInfo(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE)).fileName());
    QPluginLoader loader(plugin);
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    ASSERT_NE(collection, nullptr) << plugin.toStdString() << ": " << loader.errorString().toStdString();
    EXPECT_FALSE(collection->customWidgets().isEmpty());

    ASSERT_TRUE(run(cmake,
        {QStringLiteral("-S"), QStringLiteral(VQ_DESIGNER_TEST_DIR "/outside"), QStringLiteral("-B"), build,
            QStringLiteral("-G"), QStringLiteral(VQ_CMAKE_GENERATOR),
            QStringLiteral("-DCMAKE_CXX_COMPILER=" VQ_CXX_COMPILER),
            QStringLiteral("-DCMAKE_BUILD_TYPE=Release"), QStringLiteral("-DCMAKE_PREFIX_PATH=") + prefix,
            QStringLiteral("-DFORM_FILE=" VQ_DESIGNER_TEST_DIR "/AllControls.ui")},
        &out))
        << out.toStdString();
    ASSERT_TRUE(
        run(cmake, {QStringLiteral("--build"), build, QStringLiteral("-j"), QStringLiteral("2")}, &out))
        << out.toStdString();
    ASSERT_TRUE(run(
        build + QStringLiteral("/outside"), {QStringLiteral("-platform"), QStringLiteral("offscreen")}, &out))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("forms ok"))) << out.toStdString();
}

} // namespace
