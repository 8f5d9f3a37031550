// The "Property Pages…" task menu: offered for every control whose class lists pages this library has,
// opening those pages, and turning what a page applies into undoable edits of the form.
#include "DesignerSupport.h"
#include "FakeFormWindow.h"

#include "frame/ClassTable.h"
#include "frame/ControlFactory.h"
#include "frame/PropertyPage.h"
#include "frame/PropertyPageDialog.h"

#include <QAction>
#include <QApplication>
#include <QPluginLoader>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
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

TEST_F(TaskMenu, AnAppliedPageIsAnUndoableEditOfTheForm)
{
    FakeFormWindow form(&core);
    auto *text = qobject_cast<vq::Control *>(entries.value(QStringLiteral("VqTextBox"))->createWidget(&form));
    ASSERT_NE(text, nullptr);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QVariant caseBefore = text->property("pCase");
    const QVariant typeBefore = text->property("pDataType");

    // Cancel: nothing reaches the form.
    vq::PropertyPageDialog *dialog = openPages(text);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("optType_1")), Qt::LeftButton);
    dialog->cancelButton()->click();
    EXPECT_EQ(text->property("pDataType"), typeBefore);
    EXPECT_FALSE(form.isDirty());

    // OK: the page writes every setting it has, but only the one that changed becomes an edit.
    dialog = openPages(text);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("optCase_1")), Qt::LeftButton);
    dialog->okButton()->click();
    EXPECT_EQ(text->property("pCase").toInt(), 1);
    EXPECT_TRUE(form.isDirty());
    ASSERT_EQ(form.commandHistory()->count(), 1);

    form.commandHistory()->undo();
    EXPECT_EQ(text->property("pCase"), caseBefore);
    EXPECT_FALSE(form.isDirty());
    form.commandHistory()->redo();
    EXPECT_EQ(text->property("pCase").toInt(), 1);

    // Apply, then OK with nothing more changed: one further edit, not two.
    dialog = openPages(text);
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("optType_1")), Qt::LeftButton);
    dialog->applyButton()->click();
    dialog->okButton()->click();
    EXPECT_EQ(text->property("pDataType").toInt(), 1);
    EXPECT_EQ(form.commandHistory()->count(), 2);
}

} // namespace
