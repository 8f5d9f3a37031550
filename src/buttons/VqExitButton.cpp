#include "buttons/VqExitButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqExitButton"), [](QWidget *parent) -> QObject * { return new VqExitButton(parent); });
} // namespace

VqExitButton::VqExitButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqExitButton", "E&xit", "&New", 9.0, 1125}, parent)
{ }
