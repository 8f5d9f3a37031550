#include "buttons/VqPreviousButton.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::ClassTable::registerConstructor(QStringLiteral("VqPreviousButton"),
    [](QWidget *parent) -> QObject * { return new VqPreviousButton(parent); });
} // namespace

VqPreviousButton::VqPreviousButton(QWidget *parent)
    : vq::CommandButton({"VqPreviousButton", "&Previous", "&New"}, parent)
{ }
