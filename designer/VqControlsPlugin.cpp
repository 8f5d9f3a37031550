#include "VqControlsPlugin.h"

#include "ControlWidget.h"

#include "frame/ClassTable.h"

namespace vq::designer {

VqControlsPlugin::VqControlsPlugin(QObject *parent)
    : QObject(parent)
{
    for (const ClassTable::ClassInfo &info : ClassTable::classes()) {
        if (info.kind == ClassTable::Kind::Control && ClassTable::isAvailable(info.name))
            m_widgets.append(new ControlWidget(info, this));
    }
}

QList<QDesignerCustomWidgetInterface *> VqControlsPlugin::customWidgets() const
{
    return m_widgets;
}

} // namespace vq::designer
