#include "buttons/VqNextButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(
    QStringLiteral("VqNextButton"), [](QWidget *parent) -> QObject * { return new VqNextButton(parent); });
} // namespace

VqNextButton::VqNextButton(QWidget *parent)
    : vq::CommandButton({"VqNextButton", "&Next", "&New"}, parent)
{ }
