#include "buttons/CommandButtonWithEnabled.h"

#include "frame/BagValues.h"
#include "frame/PropertyBag.h"

namespace vq {

bool CommandButtonWithEnabled::Enabled() const
{
    return isEnabled();
}

void CommandButtonWithEnabled::setEnabledProperty(bool enabled)
{
    setEnabled(enabled);
    PropertyChanged(QStringLiteral("Enabled"));
}

void CommandButtonWithEnabled::ReadProperties(PropertyBag &bag)
{
    CommandButton::ReadProperties(bag);
    setEnabled(bag::readBool(bag, QStringLiteral("Enabled"), true));
}

void CommandButtonWithEnabled::WriteProperties(PropertyBag &bag)
{
    CommandButton::WriteProperties(bag);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
}

} // namespace vq
