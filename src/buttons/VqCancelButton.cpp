#include "buttons/VqCancelButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(QStringLiteral("VqCancelButton"),
    [](QWidget *parent) -> QObject * { return new VqCancelButton(parent); });
} // namespace

VqCancelButton::VqCancelButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqCancelButton", "&Cancel", "&New"}, parent)
{ }
