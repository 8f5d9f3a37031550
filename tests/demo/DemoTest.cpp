#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

TEST(Demo, ScreenshotWritesAPictureOfTheForm)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("form.png"));
    ASSERT_TRUE(vq::test::runDemo({QStringLiteral("--screenshot"), file}, dir));
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
