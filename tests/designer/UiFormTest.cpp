// Forms made in Designer at run time: a .ui file holding every control, read by vq::UiLoader, by QUiLoader
// through the plugin, and compiled by uic, gives the same running controls.
#include "DesignerSupport.h"
#include "ui_AllControls.h"

#include "frame/ClassTable.h"
#include "uiloader/UiLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QWidget> loadFile(QUiLoader &loader)
{
    QFile file(QString::fromLatin1(formFile()));
    return loadForm(loader, file);
}

TEST(UiForms, TheLoaderMakesEveryControlRunningWithTheFormsValues)
{
    vq::UiLoader loader;
    const std::unique_ptr<QWidget> form = loadFile(loader);
    ASSERT_NE(form, nullptr);

    // One control of each class of the class table, each a running control.
    QStringList classes;
    for (vq::Control *c : form->findChildren<vq::Control *>(Qt::FindDirectChildrenOnly)) {
        classes << QString::fromLatin1(c->metaObject()->className());
        EXPECT_TRUE(c->ambientProperties().UserMode) << c->objectName().toStdString();
    }
    classes.sort();
    QStringList expected;
    for (const vq::ClassTable::ClassInfo &c : vq::ClassTable::classes()) {
        if (c.kind == vq::ClassTable::Kind::Control)
            expected << c.name;
    }
    expected.sort();
    EXPECT_EQ(classes, expected);

    // The values the form sets, through the controls' own properties.
    const auto value = [&](const char *name, const char *property) {
        QObject *c = form->findChild<QObject *>(QString::fromLatin1(name));
        return c ? c->property(property) : QVariant();
    };
    EXPECT_EQ(value("amount", "pDataType").toInt(), 2);
    EXPECT_EQ(value("amount", "MaxLength").toInt(), 12);
    EXPECT_EQ(value("amount", "ToolTipText").toString(), QStringLiteral("Amount in euros"));
    EXPECT_TRUE(value("terms", "ValidateData").toBool());
    EXPECT_EQ(value("regions", "Query").toString(), QStringLiteral("SELECT name FROM regions"));
    EXPECT_EQ(value("newOrder", "Caption").toString(), QStringLiteral("&New order"));
    EXPECT_FALSE(value("save", "Enabled").toBool());
    EXPECT_EQ(value("orderDate", "MinDate").toDateTime().date(), QDate(2020, 1, 1));
    EXPECT_EQ(value("orderDate", "MaxDate").toDateTime().date(), QDate(2030, 12, 31));
    EXPECT_EQ(form->findChild<QWidget *>(QStringLiteral("amount"))->geometry(), QRect(10, 10, 176, 22));

    // Running: the help list stays hidden and the text box draws no design border.
    form->show();
    EXPECT_FALSE(form->findChild<QWidget *>(QStringLiteral("lookup"))->isVisible());
}

TEST(UiForms, UicQUiLoaderThroughThePluginAndTheLoaderMakeTheSameForm)
{
    vq::UiLoader loader;
    const std::unique_ptr<QWidget> loaded = loadFile(loader);
    ASSERT_NE(loaded, nullptr);

    QWidget compiled;
    Ui::AllControls ui;
    ui.setupUi(&compiled);
    EXPECT_EQ(ui.amount->pDataType(), 2);
    EXPECT_TRUE(ui.amount->ambientProperties().UserMode);
    expectSameForm(compiled, *loaded);

    // The plugin is one instance per process: once a test has handed it Designer's core, it makes designed
    // controls (ctest runs each test in a process of its own).
    QPluginLoader plugin(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE));
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(plugin.instance());
    ASSERT_NE(collection, nullptr);
    if (collection->customWidgets().first()->isInitialized())
        GTEST_SKIP() << "the plugin was initialised by an earlier test of this process";
    QUiLoader plain;
    plain.clearPluginPaths();
    plain.addPluginPath(QFileInfo(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE)).absolutePath());
    const std::unique_ptr<QWidget> throughPlugin = loadFile(plain);
    ASSERT_NE(throughPlugin, nullptr);
    expectSameForm(*throughPlugin, *loaded);
}

} // namespace
