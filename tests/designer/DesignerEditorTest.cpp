// The plugin inside Designer's own form editor (the components Designer is made of, headless): a form of
// every control opens with the controls being designed, the "Property Pages…" menu makes one undoable
// edit that marks the form modified, and the form Designer saves runs through vq::UiLoader.
#include "DesignerSupport.h"

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
    QFile file(QStringLiteral(VQ_DESIGNER_TEST_DIR "/AllControls.ui"));
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
    const int caseBefore = amount->property("pCase").toInt();

    auto *menu = qt_extension<QDesignerTaskMenuExtension *>(core->extensionManager(), amount);
    ASSERT_NE(menu, nullptr);
    menu->preferredEditAction()->trigger();
    auto *dialog = amount->window()->findChild<vq::PropertyPageDialog *>();
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("optCase_1")), Qt::LeftButton);
    dialog->okButton()->click();
    EXPECT_EQ(amount->property("pCase").toInt(), 1);
    EXPECT_TRUE(form->isDirty());
    EXPECT_EQ(form->commandHistory()->count(), 1);

    // What Designer saves now: the new case, as a property uic sets by name.
    const QString saved = form->contents();
    EXPECT_TRUE(saved.contains(QLatin1String("<property name=\"pCase\" stdset=\"0\">")));

    form->commandHistory()->undo();
    EXPECT_EQ(amount->property("pCase").toInt(), caseBefore);
    EXPECT_FALSE(form->isDirty());

    // The saved form runs: the loader's controls carry the designer's values and run.
    QByteArray bytes = saved.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    vq::UiLoader loader;
    const std::unique_ptr<QWidget> running(loader.load(&buffer));
    ASSERT_NE(running, nullptr) << loader.errorString().toStdString();
    auto *runningAmount = running->findChild<vq::Control *>(QStringLiteral("amount"));
    ASSERT_NE(runningAmount, nullptr);
    EXPECT_TRUE(runningAmount->ambientProperties().UserMode);
    EXPECT_EQ(runningAmount->property("pCase").toInt(), 1);
    EXPECT_EQ(runningAmount->property("pDataType").toInt(), 2);
    EXPECT_EQ(running->findChildren<vq::Control *>().size(), 20);
}

} // namespace
