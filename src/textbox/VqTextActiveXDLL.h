#pragma once

#include "frame/PropertyPage.h"

// A page of four labelled fields for naming a class library and three of its methods. Nothing reads or
// stores them: the page has no behaviour and never asks to be applied.
class VqTextActiveXDLL : public vq::PropertyPage
{
    Q_OBJECT

public:
    explicit VqTextActiveXDLL(QWidget *parent = nullptr);
    ~VqTextActiveXDLL() override;
};
