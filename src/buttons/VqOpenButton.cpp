#include "buttons/VqOpenButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqOpenButton"), [](QWidget *parent) -> QObject * { return new VqOpenButton(parent); });
} // namespace

VqOpenButton::VqOpenButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqOpenButton", "&Open", "&Open"}, parent)
{ }
