#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Moves to the first record.
class VqFirstButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqFirstButton(QWidget *parent = nullptr);
};
