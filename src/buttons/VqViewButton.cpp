#include "buttons/VqViewButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqViewButton"), [](QWidget *parent) -> QObject * { return new VqViewButton(parent); });
} // namespace

VqViewButton::VqViewButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqViewButton", "&View", "&New"}, parent)
{ }
