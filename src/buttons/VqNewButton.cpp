#include "buttons/VqNewButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqNewButton"), [](QWidget *parent) -> QObject * { return new VqNewButton(parent); });
} // namespace

VqNewButton::VqNewButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqNewButton", "&New", "&New"}, parent)
{ }
