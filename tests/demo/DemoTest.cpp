#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QString demoPath()
{
    return qEnvironmentVariable("VQ_BINARY_DIR") + QStringLiteral("/apps/demo/vqdemo");
}
} // namespace

TEST(Demo, ScreenshotWritesAPictureOfTheForm)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("form.png"));
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VQ_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
    demo.setProcessEnvironment(env);
    demo.start(demoPath(), {QStringLiteral("--screenshot"), file});
    ASSERT_TRUE(demo.waitForFinished(60000)) << demo.errorString().toStdString();
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 400);
    // The demo registered the default message component into the registry it was given.
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("registry.ini"))));
    // A rendered form has more than a background: count distinct colours in a coarse sample.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4);
}
