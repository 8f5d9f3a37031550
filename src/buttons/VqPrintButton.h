#pragma once

#include "buttons/CommandButtonWithEnabled.h"

// Prints the record or the report of the screen.
class VqPrintButton : public vq::CommandButtonWithEnabled
{
    Q_OBJECT

public:
    explicit VqPrintButton(QWidget *parent = nullptr);
};
