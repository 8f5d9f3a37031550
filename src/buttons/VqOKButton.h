#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Accepts the entry or the choice on the screen.
class VqOKButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqOKButton(QWidget *parent = nullptr);
};
