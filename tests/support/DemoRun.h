#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vq::test {

// Runs the demo program with the given arguments, a registry of its own inside dir and its data folder
// (the sample database) under dir/data; returns whether it finished with exit code 0, reporting why not.
inline ::testing::AssertionResult runDemo(const QStringList &arguments, const QTemporaryDir &dir)
{
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VQ_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    demo.setProcessEnvironment(env);
    demo.start(qEnvironmentVariable("VQ_BINARY_DIR") + QStringLiteral("/apps/demo/vqdemo"), arguments);
    if (!demo.waitForFinished(60000))
        return ::testing::AssertionFailure()
            << "the demo did not finish: " << demo.errorString().toStdString();
    if (demo.exitStatus() != QProcess::NormalExit || demo.exitCode() != 0)
        return ::testing::AssertionFailure() << "the demo failed with " << demo.exitCode() << ": "
                                             << demo.readAllStandardError().toStdString();
    return ::testing::AssertionSuccess();
}

} // namespace vq::test
