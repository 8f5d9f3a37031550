#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

TEST(Demo, PagesWritesAPictureOfTheFieldsPropertyDialog)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pages.png"));
    ASSERT_TRUE(vq::test::runDemo({QStringLiteral("--pages"), file}, dir));
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
