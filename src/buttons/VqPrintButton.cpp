#include "buttons/VqPrintButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqPrintButton"), [](QWidget *parent) -> QObject * { return new VqPrintButton(parent); });
} // namespace

VqPrintButton::VqPrintButton(QWidget *parent)
    : vq::CommandButtonWithEnabled({"VqPrintButton", "&Print", "&New"}, parent)
{ }
