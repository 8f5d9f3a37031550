#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Demo, PagesWritesAPictureOfTheFieldsPropertyDialog)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pages.png"));
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VQ_REGISTRY"), dir.filePath(QStringLiteral("registry.ini")));
    demo.setProcessEnvironment(env);
    demo.start(qEnvironmentVariable("VQ_BINARY_DIR") + QStringLiteral("/apps/demo/vqdemo"),
        {QStringLiteral("--pages"), file});
    ASSERT_TRUE(demo.waitForFinished(60000)) << demo.errorString().toStdString();
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    // The dialog holds the General page (6060 twips, about 404 pixels) with its tabs and buttons around it.
    EXPECT_GE(image.width(), 404);
    EXPECT_GE(image.height(), 288);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4);
}
