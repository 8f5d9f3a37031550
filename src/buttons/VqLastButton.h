#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Moves to the last record.
class VqLastButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqLastButton(QWidget *parent = nullptr);
};
