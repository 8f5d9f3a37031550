#pragma once

#include "lists/DataSourcePage.h"

// The list box's General page: its query field shows and sets the Query property of the first selected
// control, read and set by name. ENTER in the query field applies at once and then queues ESCAPE, which
// closes the host's property dialog with the new Query kept. The data source field is never loaded or
// applied, and the page never marks itself changed.
//
// A selected control without a Query property (the list box itself has none) leaves the field empty and
// is never written.
class VqListGeneral : public vq::DataSourcePage
{
    Q_OBJECT

public:
    explicit VqListGeneral(QWidget *parent = nullptr);

    void SelectionChanged() override;
    void ApplyChanges() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool selectedHasQuery() const;
};
