#include "ControlWidget.h"

#include "ControlDescription.h"
#include "PropertyPagesTaskMenu.h"

#include "frame/Control.h"
#include "frame/ControlFactory.h"
#include "frame/MemoryPropertyBag.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <QIcon>
#include <QPixmap>

namespace vq::designer {

ControlWidget::ControlWidget(const ClassTable::ClassInfo &info, QObject *parent)
    : QObject(parent)
    , m_info(info)
{ }

QString ControlWidget::name() const
{
    return m_info.name;
}

QString ControlWidget::group() const
{
    return ClassTable::typeLibraryName();
}

QString ControlWidget::toolTip() const
{
    return describe(m_info.name).toolTip;
}

QString ControlWidget::whatsThis() const
{
    return describe(m_info.name).whatsThis;
}

QString ControlWidget::includeFile() const
{
    return describe(m_info.name).includeFile;
}

QIcon ControlWidget::icon() const
{
    const QPixmap picture = ClassTable::toolboxPicture(m_info.toolboxBitmap);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

bool ControlWidget::isContainer() const
{
    return false;
}

QWidget *ControlWidget::createWidget(QWidget *parent)
{
    // Designer calls this from its own code: nothing may unwind into it.
    try {
        Control *control = CreateControl(m_info.name, parent);
        if (m_core) {
            AmbientProperties ambient = control->ambientProperties();
            ambient.UserMode = false;
            control->setAmbientProperties(ambient);
        }
        control->InitProperties();
        if (m_core) {
            MemoryPropertyBag saved;
            control->WriteProperties(saved);
            control->ReadProperties(saved);
        }
        return control;
    } catch (const Error &e) {
        reportError(e);
        return nullptr;
    }
}

bool ControlWidget::isInitialized() const
{
    return m_core != nullptr;
}

void ControlWidget::initialize(QDesignerFormEditorInterface *core)
{
    if (!core || core == m_core)
        return;
    m_core = core;
    QExtensionManager *manager = core->extensionManager();
    if (manager && !manager->findChild<PropertyPagesTaskMenuFactory *>())
        manager->registerExtensions(
            new PropertyPagesTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
}

QString ControlWidget::domXml() const
{
    QString objectName = m_info.name;
    objectName[0] = objectName[0].toLower();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(m_info.name, objectName)
        .arg(twips::toPixelsX(m_info.designSize.width()))
        .arg(twips::toPixelsY(m_info.designSize.height()));
}

} // namespace vq::designer
