#pragma once

#include "lists/DataSourcePage.h"

// The portable list box's General page: the data source and query fields only. It loads nothing, applies
// nothing and never marks itself changed; ENTER in its query field is an ordinary line break.
class VqPListGeneral : public vq::DataSourcePage
{
    Q_OBJECT

public:
    explicit VqPListGeneral(QWidget *parent = nullptr);
};
