// The Designer plugin as Designer sees it: loaded from its file, one widget-box entry per control of the
// class table, each making real controls in design mode inside Designer and in run mode elsewhere.
#include "DesignerSupport.h"

#include "frame/ClassTable.h"
#include "frame/Control.h"
#include "frame/MemoryPropertyBag.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>
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

struct DomWidget
{
    QString className, objectName;
    QRect geometry;
};

DomWidget readDomXml(const QString &xml)
{
    DomWidget w;
    QXmlStreamReader reader(xml);
    QString property;
    QString element;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            element = reader.name().toString();
            if (element == QLatin1String("widget")) {
                w.className = reader.attributes().value(QLatin1String("class")).toString();
                w.objectName = reader.attributes().value(QLatin1String("name")).toString();
            } else if (element == QLatin1String("property")) {
                property = reader.attributes().value(QLatin1String("name")).toString();
            }
        } else if (reader.isCharacters() && !reader.isWhitespace() && property == QLatin1String("geometry")) {
            const int v = reader.text().toInt();
            if (element == QLatin1String("x"))
                w.geometry.moveLeft(v);
            else if (element == QLatin1String("y"))
                w.geometry.moveTop(v);
            else if (element == QLatin1String("width"))
                w.geometry.setWidth(v);
            else if (element == QLatin1String("height"))
                w.geometry.setHeight(v);
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return w;
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

        // The default geometry is the class's design size at 15 twips a pixel (96 dots per inch).
        const DomWidget dom = readDomXml(w->domXml());
        EXPECT_EQ(dom.className, info.name);
        EXPECT_FALSE(dom.objectName.isEmpty());
        EXPECT_TRUE(dom.objectName.at(0).isLower()) << dom.objectName.toStdString();
        EXPECT_EQ(dom.geometry, QRect(0, 0, info.designSize.width() / 15, info.designSize.height() / 15));
    }
}

TEST_F(DesignerPlugin, MakesRunningControlsOutsideDesignerAndDesignedOnesInside)
{
    DesignerCore core;
    for (const ClassTable::ClassInfo *info : availableControls()) {
        SCOPED_TRACE(info->name.toStdString());
        QDesignerCustomWidgetInterface *w = entry(info->name);
        ASSERT_NE(w, nullptr);

        // Before initialize() (QUiLoader and QFormBuilder never call it) the form is running.
        ASSERT_FALSE(w->isInitialized());
        std::unique_ptr<QWidget> running(w->createWidget(nullptr));
        auto *runControl = qobject_cast<vq::Control *>(running.get());
        ASSERT_NE(runControl, nullptr);
        EXPECT_EQ(QString::fromLatin1(running->metaObject()->className()), info->name);
        EXPECT_TRUE(runControl->ambientProperties().UserMode);

        w->initialize(&core);
        ASSERT_TRUE(w->isInitialized());
        std::unique_ptr<QWidget> designed(w->createWidget(nullptr));
        auto *designControl = qobject_cast<vq::Control *>(designed.get());
        ASSERT_NE(designControl, nullptr);
        EXPECT_FALSE(designControl->ambientProperties().UserMode);
        // Loading what it saved in design mode leaves a new control's settings as they were.
        expectSameSavedState(*designControl, *runControl);
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
    auto *running = qobject_cast<vq::Control *>(entry(QStringLiteral("VqTextBox"))->createWidget(&form));
    running->setAmbientProperties({});
    running->ReadProperties(*std::make_unique<vq::MemoryPropertyBag>());
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
