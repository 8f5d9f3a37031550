#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Opens an existing record.
class VqOpenButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqOpenButton(QWidget *parent = nullptr);
};
