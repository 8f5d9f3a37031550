#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Saves the record being entered.
class VqSaveButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqSaveButton(QWidget *parent = nullptr);
};
