#include "buttons/VqFirstButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqFirstButton"), [](QWidget *parent) -> QObject * { return new VqFirstButton(parent); });
} // namespace

VqFirstButton::VqFirstButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqFirstButton", "&First", "&New"}, parent)
{ }
