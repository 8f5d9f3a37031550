#include "buttons/VqLastButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqLastButton"), [](QWidget *parent) -> QObject * { return new VqLastButton(parent); });
} // namespace

VqLastButton::VqLastButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqLastButton", "&Last", "&New"}, parent)
{ }
