#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Abandons the entry or the choice on the screen.
class VqCancelButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqCancelButton(QWidget *parent = nullptr);
};
