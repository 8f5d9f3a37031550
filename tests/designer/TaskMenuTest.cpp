// The "Property Pages…" task menu: offered for every control whose class lists pages this library has,
// opening those pages (what they apply is checked inside Designer's own editor, DesignerEditorTest).
#include "DesignerSupport.h"

#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "frame/PropertyPageDialog.h"

#include <QAction>
#include <QApplication>
#include <QPluginLoader>
#include <QPushButton>
#include <QTabWidget>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using vq::ClassTable;

namespace {

class TaskMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        loader.setFileName(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE));
        auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
        ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();
        for (QDesignerCustomWidgetInterface *w : collection->customWidgets()) {
            w->initialize(&core);
            entries.insert(w->name(), w);
        }
    }

    QDesignerTaskMenuExtension *taskMenu(QObject *control)
    {
        return qt_extension<QDesignerTaskMenuExtension *>(core.extensionManager(), control);
    }

    // Opens the pages through the menu's one action and returns the dialog it showed.
    vq::PropertyPageDialog *openPages(vq::Control *control)
    {
        QDesignerTaskMenuExtension *menu = taskMenu(control);
        if (!menu)
            return nullptr;
        menu->preferredEditAction()->trigger();
        const auto dialogs = control->window()->findChildren<vq::PropertyPageDialog *>();
        return dialogs.isEmpty() ? nullptr : dialogs.last();
    }

    QPluginLoader loader;
    DesignerCore core;
    QHash<QString, QDesignerCustomWidgetInterface *> entries;
};

TEST_F(TaskMenu, OpensTheListedPagesOfEveryControlThatHasAny)
{
    for (const ClassTable::ClassInfo &info : ClassTable::classes()) {
        if (info.kind != ClassTable::Kind::Control || !entries.contains(info.name))
            continue;
        SCOPED_TRACE(info.name.toStdString());
        QWidget form;
        auto *control = qobject_cast<vq::Control *>(entries.value(info.name)->createWidget(&form));
        ASSERT_NE(control, nullptr);

        QStringList pages;
        std::copy_if(info.pages.begin(), info.pages.end(), std::back_inserter(pages),
            [](const QString &page) { return ClassTable::isAvailable(page); });
        QDesignerTaskMenuExtension *menu = taskMenu(control);
        if (pages.isEmpty()) {
            EXPECT_EQ(menu, nullptr);
            continue;
        }
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->taskActions().size(), 1);
        EXPECT_EQ(menu->taskActions().first(), menu->preferredEditAction());
        EXPECT_EQ(menu->preferredEditAction()->text(), QStringLiteral("Property Pages…"));

        vq::PropertyPageDialog *dialog = openPages(control);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        QStringList shown;
        for (vq::PropertyPage *page : dialog->pages()) {
            shown << page->objectName();
            EXPECT_EQ(page->SelectedControls(), QList<QObject *> {control});
        }
        EXPECT_EQ(shown, pages);
        dialog->cancelButton()->click();
    }
}

} // namespace
