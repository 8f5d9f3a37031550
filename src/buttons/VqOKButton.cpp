#include "buttons/VqOKButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqOKButton"), [](QWidget *parent) -> QObject * { return new VqOKButton(parent); });
} // namespace

VqOKButton::VqOKButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqOKButton", "&OK", "&New"}, parent)
{ }
