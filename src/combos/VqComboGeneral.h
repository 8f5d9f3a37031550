#pragma once

#include "lists/DataSourcePage.h"

#include <memory>

// The combo box's General page: the two flags ValidateData and EmptyCheck of the first selected control,
// read and written through their property names. A click on either check box marks the page changed, even
// one that puts it back as it was; a check box left grey applies as clear. The data-source and query
// fields are part of the layout only: nothing fills them and nothing reads them.
class VqComboGeneral : public vq::DataSourcePage
{
    Q_OBJECT

public:
    explicit VqComboGeneral(QWidget *parent = nullptr);
    ~VqComboGeneral() override;

    void SelectionChanged() override;
    void ApplyChanges() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
