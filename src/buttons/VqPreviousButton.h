#pragma once

#include "buttons/CommandButton.h"

// Moves to the previous record. It has no Enabled property: it is always available.
class VqPreviousButton : public vq::CommandButton
{
    Q_OBJECT

public:
    explicit VqPreviousButton(QWidget *parent = nullptr);
};
