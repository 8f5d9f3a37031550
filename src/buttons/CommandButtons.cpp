#include "buttons/CommandButtons.h"

#include "frame/ClassTable.h"

namespace {
const bool registered = vq::registerClass<VqOKButton>() && vq::registerClass<VqCancelButton>() &&
    vq::registerClass<VqNewButton>() && vq::registerClass<VqSaveButton>() &&
    vq::registerClass<VqOpenButton>() && vq::registerClass<VqClearButton>() &&
    vq::registerClass<VqExitButton>() && vq::registerClass<VqFirstButton>() &&
    vq::registerClass<VqPreviousButton>() && vq::registerClass<VqNextButton>() &&
    vq::registerClass<VqLastButton>() && vq::registerClass<VqPrintButton>() &&
    vq::registerClass<VqViewButton>();
} // namespace

// Class name, design caption, the default under which "Caption" is saved (not the design caption).
VqOKButton::VqOKButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqOKButton", "&OK", "&New"}, parent)
{ }

VqCancelButton::VqCancelButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqCancelButton", "&Cancel", "&New"}, parent)
{ }

VqNewButton::VqNewButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqNewButton", "&New", "&New"}, parent)
{ }

VqSaveButton::VqSaveButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqSaveButton", "&Save", "&New"}, parent)
{ }

VqOpenButton::VqOpenButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqOpenButton", "&Open", "&Open"}, parent)
{ }

VqClearButton::VqClearButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqClearButton", "&Clear", "&New"}, parent)
{ }

VqExitButton::VqExitButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqExitButton", "E&xit", "&New", 9.0, 1125}, parent)
{ }

VqFirstButton::VqFirstButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqFirstButton", "&First", "&New"}, parent)
{ }

VqPreviousButton::VqPreviousButton(QWidget *parent)
    : CommandButton({"VqPreviousButton", "&Previous", "&New"}, parent)
{ }

VqNextButton::VqNextButton(QWidget *parent)
    : CommandButton({"VqNextButton", "&Next", "&New"}, parent)
{ }

VqLastButton::VqLastButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqLastButton", "&Last", "&New"}, parent)
{ }

VqPrintButton::VqPrintButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqPrintButton", "&Print", "&New"}, parent)
{ }

VqViewButton::VqViewButton(QWidget *parent)
    : CommandButtonWithEnabled({"VqViewButton", "&View", "&New"}, parent)
{ }
