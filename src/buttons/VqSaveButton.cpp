#include "buttons/VqSaveButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqSaveButton"), [](QWidget *parent) -> QObject * { return new VqSaveButton(parent); });
} // namespace

VqSaveButton::VqSaveButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqSaveButton", "&Save", "&New"}, parent)
{ }
