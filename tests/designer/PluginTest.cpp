#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

TEST(DesignerPlugin, Loads)
{
    QPluginLoader loader(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE));
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();
    EXPECT_EQ(collection->customWidgets().size(), 19);
}
