// The plugin inside Designer's own form editor (the components Designer is made of, headless): a form of
// every control opens with the controls being designed, the "Property Pages…" task menu of each opens its
// class's pages, what they apply becomes undoable edits that mark the form modified, and the form Designer
// saves runs through vq::UiLoader.
#include "DesignerSupport.h"

#include "frame/ClassTable.h"
#include "frame/PropertyPage.h"
#include "frame/PropertyPageDialog.h"
#include "uiloader/UiLoader.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DesignerEditor, AFormOfEveryControlIsDesignedEditedUndoneAndSavedForRunning)
{
    // Designer keeps its settings in the user's configuration folder: a temporary one here.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication::addLibraryPath(
        QFileInfo(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE)).absolutePath() + QStringLiteral("/.."));

    QDesignerComponents::initializeResources();
    // The core outlives the windows that use it.
    std::unique_ptr<QDesignerFormEditorInterface> core(QDesignerComponents::createFormEditor(nullptr));
    QWidget host;
    QDesignerComponents::createTaskMenu(core.get(), core.get());
    QDesignerComponents::initializePlugins(core.get());
    core->setWidgetBox(QDesignerComponents::createWidgetBox(core.get(), &host));
    core->setPropertyEditor(QDesignerComponents::createPropertyEditor(core.get(), &host));
    new QDesignerIntegration(core.get(), &host);

    QDesignerFormWindowInterface *form = core->formWindowManager()->createFormWindow(&host);
    QFile file(QString::fromLatin1(formFile()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    ASSERT_TRUE(form->setContents(&file, &error)) << error.toStdString();
    core->formWindowManager()->setActiveFormWindow(form);
    host.show();

    const QList<vq::Control *> controls = form->mainContainer()->findChildren<vq::Control *>();
    ASSERT_EQ(controls.size(), 20);
    for (const vq::Control *c : controls)
        EXPECT_FALSE(c->ambientProperties().UserMode) << c->objectName().toStdString();
    auto *amount = form->mainContainer()->findChild<vq::Control *>(QStringLiteral("amount"));
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->property("pDataType").toInt(), 2);

    // The property editor offers the saved properties under their names and no run-time state (QWidget's
    // own properties stay, as for every widget).
    const auto shown = [&](const char *object, const char *property) {
        QObject *o = form->mainContainer()->findChild<QObject *>(QString::fromLatin1(object));
        auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(core->extensionManager(), o);
        const int index = sheet ? sheet->indexOf(QString::fromLatin1(property)) : -1;
        return index >= 0 && sheet->isVisible(index);
    };
    for (const char *saved :
        {"pCase", "pDataType", "ThousandSeperator", "Enabled", "ToolTipText", "EmptyCheck"})
        EXPECT_TRUE(shown("amount", saved)) << saved;
    EXPECT_TRUE(shown("regions", "DSNName"));
    EXPECT_FALSE(shown("regions", "ListCount"));
    EXPECT_FALSE(shown("lookup", "Value"));

    // What Designer saves runs through the loader.
    vq::UiLoader loader;
    const auto running = [&] {
        QByteArray bytes = form->contents().toUtf8();
        QBuffer buffer(&bytes);
        return loadForm(loader, buffer);
    };
    file.seek(0);
    const std::unique_ptr<QWidget> original = loadForm(loader, file);
    ASSERT_NE(original, nullptr);
    {
        const std::unique_ptr<QWidget> unchanged = running();
        ASSERT_NE(unchanged, nullptr);
        expectSameForm(*unchanged, *original);
    }

    // Every control whose class lists pages this library has offers them through one action; the others
    // have no task menu.
    const auto taskMenu = [&](QObject *control) {
        return qt_extension<QDesignerTaskMenuExtension *>(core->extensionManager(), control);
    };
    const auto openPagesOf = [&](vq::Control *control) {
        taskMenu(control)->preferredEditAction()->trigger();
        return control->window()->findChildren<vq::PropertyPageDialog *>().value(0);
    };
    for (vq::Control *c : controls) {
        SCOPED_TRACE(c->objectName().toStdString());
        QStringList pages = vq::ClassTable::find(QString::fromLatin1(c->metaObject()->className()))->pages;
        pages.removeIf([](const QString &page) { return !vq::ClassTable::isAvailable(page); });
        QDesignerTaskMenuExtension *menu = taskMenu(c);
        if (pages.isEmpty()) {
            EXPECT_EQ(menu, nullptr);
            continue;
        }
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->taskActions(), QList<QAction *> {menu->preferredEditAction()});
        EXPECT_EQ(menu->preferredEditAction()->text(), QStringLiteral("Property Pages…"));
        std::unique_ptr<vq::PropertyPageDialog> dialog(openPagesOf(c));
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        QStringList shown;
        for (vq::PropertyPage *page : dialog->pages()) {
            shown << page->objectName();
            EXPECT_EQ(page->SelectedControls(), QList<QObject *> {c});
        }
        EXPECT_EQ(shown, pages);
        dialog->cancelButton()->click();
    }
    EXPECT_FALSE(form->isDirty());

    const auto openPages = [&] { return openPagesOf(amount); };
    const auto click = [](vq::PropertyPageDialog *dialog, const char *option) {
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QString::fromLatin1(option)), Qt::LeftButton);
    };

    // Cancel: nothing reaches the form.
    vq::PropertyPageDialog *dialog = openPages();
    ASSERT_NE(dialog, nullptr);
    click(dialog, "optCase_1");
    dialog->cancelButton()->click();
    delete dialog;
    EXPECT_FALSE(form->isDirty());

    // OK: the page writes every setting it shows, but only the one that changed is an edit.
    dialog = openPages();
    ASSERT_NE(dialog, nullptr);
    click(dialog, "optCase_1");
    dialog->okButton()->click();
    delete dialog;
    EXPECT_EQ(amount->property("pCase").toInt(), 1);
    EXPECT_TRUE(form->isDirty());
    EXPECT_EQ(form->commandHistory()->count(), 1);
    EXPECT_TRUE(form->contents().contains(QLatin1String("<property name=\"pCase\" stdset=\"0\">")));
    {
        const std::unique_ptr<QWidget> edited = running();
        ASSERT_NE(edited, nullptr);
        auto *editedAmount = edited->findChild<vq::Control *>(QStringLiteral("amount"));
        EXPECT_TRUE(editedAmount->ambientProperties().UserMode);
        EXPECT_EQ(editedAmount->property("pCase").toInt(), 1);
        EXPECT_EQ(editedAmount->property("pDataType").toInt(), 2);
    }

    // Apply, then OK with nothing more changed: one further edit, not two.
    dialog = openPages();
    ASSERT_NE(dialog, nullptr);
    click(dialog, "optType_1");
    dialog->applyButton()->click();
    dialog->okButton()->click();
    delete dialog;
    EXPECT_EQ(amount->property("pDataType").toInt(), 1);
    EXPECT_EQ(form->commandHistory()->count(), 2);

    // Undone, the form is the one that was opened.
    form->commandHistory()->undo();
    form->commandHistory()->undo();
    EXPECT_FALSE(form->isDirty());
    const std::unique_ptr<QWidget> undone = running();
    ASSERT_NE(undone, nullptr);
    expectSameForm(*undone, *original);
}

} // namespace
