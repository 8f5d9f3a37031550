#pragma once

#include "frame/PropertyPage.h"

#include <memory>

// The text box's General page: case rule, data type, the number-display flags and the mandatory flag of
// the first selected text box, read and written through its property names.
//
// Loading runs the widgets' own click handlers as a user would, so a loaded page counts as changed.
// Choosing "Number Only" enables the two number flags and resets the case to General; while it is chosen a
// case click does not by itself mark the page changed. A pCase or pDataType with no option button stops
// the load with error 340; the control is not touched.
class VqTextGeneral : public vq::PropertyPage
{
    Q_OBJECT

public:
    explicit VqTextGeneral(QWidget *parent = nullptr);
    ~VqTextGeneral() override;

    void SelectionChanged() override;
    void ApplyChanges() override;

private:
    void typeClicked();
    void caseClicked();

    struct Private;
    std::unique_ptr<Private> d;
};
