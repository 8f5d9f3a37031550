// The Designer plugin as Designer sees it: loaded from its file, one widget-box entry per control of the
// class table, each making real controls in design mode inside Designer and in run mode elsewhere.
#include "DesignerSupport.h"

#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "frame/PropertyTable.h"
#include "uiloader/UiLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

#include <memory>

using vq::ClassTable;

namespace {

std::vector<const ClassTable::ClassInfo *> availableControls()
{
    std::vector<const ClassTable::ClassInfo *> controls;
    for (const ClassTable::ClassInfo &c : ClassTable::classes()) {
        if (c.kind == ClassTable::Kind::Control && ClassTable::isAvailable(c.name))
            controls.push_back(&c);
    }
    return controls;
}

class DesignerPlugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        loader.setFileName(QStringLiteral(VQ_DESIGNER_PLUGIN_FILE));
        collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
        ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();
    }

    QDesignerCustomWidgetInterface *entry(const QString &name) const
    {
        for (QDesignerCustomWidgetInterface *w : collection->customWidgets()) {
            if (w->name() == name)
                return w;
        }
        return nullptr;
    }

    QPluginLoader loader;
    QDesignerCustomWidgetCollectionInterface *collection = nullptr;
};

TEST_F(DesignerPlugin, OffersEveryControlOfTheClassTableInItsOrderUnderOneGroup)
{
    const auto controls = availableControls();
    const QList<QDesignerCustomWidgetInterface *> widgets = collection->customWidgets();
    ASSERT_EQ(widgets.size(), qsizetype(controls.size()));
    const QDir sources(QString::fromLocal8Bit(qgetenv("VQ_SOURCE_DIR")) + QStringLiteral("/src"));
    for (size_t i = 0; i < controls.size(); ++i) {
        const ClassTable::ClassInfo &info = *controls[i];
        QDesignerCustomWidgetInterface *w = widgets[qsizetype(i)];
        SCOPED_TRACE(info.name.toStdString());
        EXPECT_EQ(w->name(), info.name);
        EXPECT_EQ(w->group(), QStringLiteral("VqControls"));
        EXPECT_FALSE(w->isContainer());
        EXPECT_FALSE(w->toolTip().isEmpty());
        EXPECT_GT(w->whatsThis().size(), w->toolTip().size());

        // The toolbox picture registered for the class, unchanged.
        ASSERT_FALSE(w->icon().isNull());
        const QImage picture = ClassTable::toolboxPicture(info.toolboxBitmap).toImage();
        EXPECT_EQ(w->icon().pixmap(picture.size()).toImage().convertToFormat(picture.format()), picture);

        // The include file is an installed header (include/VqControls/<folder>/<file>) that declares the
        // class, so that uic's output compiles against an installed library.
        ASSERT_TRUE(w->includeFile().startsWith(QLatin1String("VqControls/")))
            << w->includeFile().toStdString();
        QFile header(sources.filePath(w->includeFile().mid(int(qstrlen("VqControls/")))));
        ASSERT_TRUE(header.open(QIODevice::ReadOnly)) << header.fileName().toStdString();
        const QRegularExpression declaration(QStringLiteral("\\bclass %1\\s*[:{]").arg(info.name));
        EXPECT_TRUE(declaration.match(QString::fromUtf8(header.readAll())).hasMatch());

        // The widget-box entry is a form of the control alone, at the class's design size (15 twips a pixel
        // at 96 dots per inch), named as Designer names widgets.
        QByteArray xml = w->domXml().toUtf8();
        QBuffer buffer(&xml);
        vq::UiLoader ui;
        const std::unique_ptr<QWidget> placed = loadForm(ui, buffer);
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(QString::fromLatin1(placed->metaObject()->className()), info.name);
        EXPECT_TRUE(placed->objectName().at(0).isLower()) << placed->objectName().toStdString();
        EXPECT_EQ(placed->size(), QSize(info.designSize.width() / 15, info.designSize.height() / 15));
    }
}

// Inside Designer a control is being designed and starts with a new control's settings. (Outside it, as
// QUiLoader uses the plugin, controls run: UiFormTest.)
TEST_F(DesignerPlugin, InsideDesignerControlsAreDesignedWithANewControlsSettings)
{
    DesignerCore core;
    for (const ClassTable::ClassInfo *info : availableControls()) {
        SCOPED_TRACE(info->name.toStdString());
        QDesignerCustomWidgetInterface *w = entry(info->name);
        ASSERT_NE(w, nullptr);
        w->initialize(&core);
        ASSERT_TRUE(w->isInitialized());
        std::unique_ptr<QWidget> designed(w->createWidget(nullptr));
        auto *control = qobject_cast<vq::Control *>(designed.get());
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(QString::fromLatin1(control->metaObject()->className()), info->name);
        EXPECT_FALSE(control->ambientProperties().UserMode);

        const std::unique_ptr<vq::Control> fresh(vq::CreateControl(info->name));
        fresh->InitProperties();
        expectSameSavedState(*control, *fresh);
    }
}

// Designer's property editor shows the designable properties: for the library's own, exactly those a form
// saves, under the names it saves them by (QWidget's own stay as Designer shows them for every widget).
TEST_F(DesignerPlugin, TheDesignablePropertiesAreTheSavedOnes)
{
    for (const ClassTable::ClassInfo *info : availableControls()) {
        SCOPED_TRACE(info->name.toStdString());
        std::unique_ptr<QWidget> widget(entry(info->name)->createWidget(nullptr));
        auto *control = qobject_cast<vq::Control *>(widget.get());
        ASSERT_NE(control, nullptr);
        const QMetaObject *meta = control->metaObject();
        QStringList designable;
        for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (p.isDesignable())
                designable << QString::fromLatin1(p.name());
        }
        QStringList saved;
        for (const QString &key : control->propertyTable().writtenKeys()) {
            if (meta->indexOfProperty(key.toLatin1().constData()) >= 0)
                saved << key;
        }
        designable.sort();
        saved.sort();
        EXPECT_EQ(designable, saved);
    }
}

TEST_F(DesignerPlugin, DesignedControlsShowTheirDesignTimeFace)
{
    DesignerCore core;
    QWidget form;
    form.resize(400, 300);
    const auto make = [&](const char *name) {
        QDesignerCustomWidgetInterface *w = entry(QString::fromLatin1(name));
        w->initialize(&core);
        return qobject_cast<vq::Control *>(w->createWidget(&form));
    };
    vq::Control *text = make("VqTextBox");
    vq::Control *combo = make("VqComboBox");
    vq::Control *help = make("VqHelpList");
    vq::Control *running = vq::CreateControl(QStringLiteral("VqTextBox"), &form);
    vq::MemoryPropertyBag empty;
    running->ReadProperties(empty);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // The entry controls with a design border draw it round their edge in the window-text colour; the
    // right edge is where no constituent widget covers it. A running text box has none.
    const auto rightEdge = [](vq::Control *c) {
        const QImage image = c->grab().toImage();
        return image.pixelColor(image.width() - 1, image.height() / 2);
    };
    for (vq::Control *c : {text, combo})
        EXPECT_EQ(rightEdge(c), c->palette().color(QPalette::WindowText)) << c->metaObject()->className();
    EXPECT_NE(rightEdge(running), running->palette().color(QPalette::WindowText));
    // The help list, a mere handle, shows its picture while designed.
    EXPECT_TRUE(help->isVisible());
}

} // namespace
