#include "data/Connection.h"
#include "data/Fields.h"
#include "data/Recordset.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

TEST(DemoLookup, RendersTheOpenLookupOverTheCustomerFileItMakesOnce)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("customers.db"));
    qputenv("VQ_DEMO_DATA", data.toUtf8());
    const QString file = dir.filePath(QStringLiteral("lookup.png"));
    ASSERT_TRUE(vq::test::runDemo({QStringLiteral("--screenshot-lookup"), file}, dir));
    qunsetenv("VQ_DEMO_DATA");

    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    // The lookup window's own size (7005 x 6405 twips), not the form's.
    EXPECT_EQ(image.size(), QSize(467, 427));

    vq::Connection db;
    db.Open(QStringLiteral("Provider=SQLite;Data Source=") + data);
    vq::Recordset rs;
    rs.Open(QStringLiteral("SELECT name, code FROM customers"), &db, vq::Recordset::adOpenStatic);
    EXPECT_EQ(rs.RecordCount(), 3000);
    // Codes are letters only, as the form's Code field takes them.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{8}$")).match(rs.text(0, 1)).hasMatch())
        << rs.text(0, 1).toStdString();

    // A second run finds the file and leaves it as it is.
    const QDateTime made = QFileInfo(data).lastModified();
    qputenv("VQ_DEMO_DATA", data.toUtf8());
    ASSERT_TRUE(vq::test::runDemo({QStringLiteral("--screenshot-lookup"), file}, dir));
    qunsetenv("VQ_DEMO_DATA");
    EXPECT_EQ(QFileInfo(data).lastModified(), made);
}
