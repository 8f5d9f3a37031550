#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Clears the fields of the screen.
class VqClearButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqClearButton(QWidget *parent = nullptr);
};
