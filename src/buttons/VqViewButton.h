#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Shows the record or the report of the screen.
class VqViewButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqViewButton(QWidget *parent = nullptr);
};
