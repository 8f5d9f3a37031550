#include "buttons/VqClearButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqClearButton"), [](QWidget *parent) -> QObject * { return new VqClearButton(parent); });
} // namespace

VqClearButton::VqClearButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqClearButton", "&Clear", "&New"}, parent)
{ }
