#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Starts a new record.
class VqNewButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqNewButton(QWidget *parent = nullptr);
};
