#include "lists/VqPortableListBox.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoRun.h"

TEST(DemoLists, TheCityListReadsTheCustomerFileThroughTheDataSourceTheDemoWrites)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("customers.db"));
    qputenv("VQ_DEMO_DATA", data.toUtf8());
    const bool ran = vq::test::runDemo({QStringLiteral("--screenshot"), dir.filePath("form.png")}, dir);
    qunsetenv("VQ_DEMO_DATA");
    ASSERT_TRUE(ran);

    // The data source names the driver as registered and the customer file beside it.
    const QString dsn = dir.filePath(QStringLiteral("customers.dsn"));
    QFile f(dsn);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromUtf8(f.readAll()), QStringLiteral("[ODBC]\nDRIVER=SQLite3\nDatabase=%1\n").arg(data));

    VqPortableListBox city;
    city.setDSNName(dsn);
    city.setQuery(QStringLiteral("SELECT DISTINCT city FROM customers ORDER BY city"));
    city.RefreshData();
    EXPECT_EQ(city.ListCount(), 16);
    EXPECT_EQ(city.List(0), "Aberdeen");
}
