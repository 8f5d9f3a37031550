#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

namespace {

// Runs the demo with a picture option and reads the picture it wrote.
QImage pictureOf(const QString &option, const QTemporaryDir &dir)
{
    const QString file = dir.filePath(QStringLiteral("picture.png"));
    EXPECT_TRUE(vq::test::runDemo({option, file}, dir));
    return QImage(file);
}

// A rendered window has more than a background: distinct colours in a coarse sample.
qsizetype colours(const QImage &image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            seen.insert(image.pixel(x, y));
    return seen.size();
}

} // namespace

TEST(Demo, ScreenshotWritesAPictureOfTheForm)
{
    QTemporaryDir dir;
    const QImage image = pictureOf(QStringLiteral("--screenshot"), dir);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 400);
    EXPECT_GT(colours(image), 4);
    // The demo registered the default message component into the registry it was given.
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("registry.ini"))));
}

TEST(Demo, ScreenshotLookupRendersTheOpenCustomerLookupOverTheDatabaseOfTheFirstRun)
{
    QTemporaryDir dir;
    const QImage image = pictureOf(QStringLiteral("--screenshot-lookup"), dir);
    // The lookup window's own size (7005 x 6405 twips), not the form's.
    EXPECT_EQ(image.size(), QSize(467, 427));
    // Made in the user's data folder, under the program's name.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("data/vqdemo/orders.db"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("data/vqdemo/orders.dsn"))));
}

TEST(Demo, PagesWritesAPictureOfTheFieldsPropertyDialog)
{
    QTemporaryDir dir;
    const QImage image = pictureOf(QStringLiteral("--pages"), dir);
    // The dialog holds the General page (6060 twips, about 404 pixels) with its tabs and buttons around it.
    EXPECT_GE(image.width(), 404);
    EXPECT_GE(image.height(), 288);
    EXPECT_GT(colours(image), 4);
}
