#pragma once

#include "buttons/CommandButton.h"

// Moves to the next record. It has no Enabled property: it is always available.
class VqNextButton : public vq::CommandButton
{
    Q_OBJECT

public:
    explicit VqNextButton(QWidget *parent = nullptr);
};
