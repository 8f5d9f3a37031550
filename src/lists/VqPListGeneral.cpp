#include "lists/VqPListGeneral.h"

#include "frame/ClassTable.h"

namespace {

const bool registered = vq::ClassTable::registerConstructor(QStringLiteral("VqPListGeneral"),
    [](QWidget *parent) -> QObject * { return new VqPListGeneral(parent); });

} // namespace

VqPListGeneral::VqPListGeneral(QWidget *parent)
    : vq::DataSourcePage(parent)
{
    setObjectName(QStringLiteral("VqPListGeneral"));
}
