#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Leaves the screen.
class VqExitButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqExitButton(QWidget *parent = nullptr);
};
