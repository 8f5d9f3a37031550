#include "FuzzTarget.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

QString corpusRoot()
{
    return qEnvironmentVariable("VQ_SOURCE_DIR") + QStringLiteral("/tests/fuzz/corpus");
}

std::vector<std::string> targetNames()
{
    std::vector<std::string> names;
    for (const auto &[name, target] : vqfuzz::targets())
        names.push_back(name);
    return names;
}

class FuzzCorpus : public ::testing::TestWithParam<std::string>
{ };

} // namespace

// Every stored input (the seeds and each crash the fuzzer found) runs through its target under the
// sanitizers: a crash found once stays fixed.
TEST_P(FuzzCorpus, EveryStoredInputRunsCleanly)
{
    const QDir dir(corpusRoot() + QLatin1Char('/') + QString::fromStdString(GetParam()));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << "no seed corpus in " << dir.path().toStdString();
    const vqfuzz::Target target = vqfuzz::targets().at(GetParam());
    for (const QString &name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        // Named before it runs, so that a sanitizer report (which ends the program) can be traced to it.
        std::fprintf(stderr, "replaying %s\n", qPrintable(dir.filePath(name)));
        target(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(targetNames()),
    [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

TEST(FuzzCorpus, EveryCorpusFolderHasATarget)
{
    for (const QString &name : QDir(corpusRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        EXPECT_TRUE(vqfuzz::targets().count(name.toStdString())) << name.toStdString();
}
