#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

TEST(Demo, ScreenshotLookupRendersTheOpenCustomerLookupOverTheDatabaseOfTheFirstRun)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lookup.png"));
    ASSERT_TRUE(vq::test::runDemo({QStringLiteral("--screenshot-lookup"), file}, dir));
    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    // The lookup window's own size (7005 x 6405 twips), not the form's.
    EXPECT_EQ(image.size(), QSize(467, 427));
    // Made in the user's data folder, under the program's name.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("data/vqdemo/orders.db"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("data/vqdemo/orders.dsn"))));
}
