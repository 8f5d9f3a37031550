#pragma once

#include <QString>

namespace vq {

class DataGrid;

// One column of a DataGrid, as Columns(i) hands it out: a light handle (grid and index), valid while the
// grid lives and its columns stay bound. Every call checks the index again, so a handle kept across a
// rebinding to fewer fields fails with vq::Error 6148 instead of reading another column.
class DataGridColumn
{
public:
    DataGridColumn(DataGrid *grid, int index);

    int ColIndex() const { return m_index; }
    // The field name the column shows.
    QString Caption() const;
    QString DataField() const;

    // Width in twips (15 a pixel at 96 dots per inch). A negative width fails with vq::Error 380 and the
    // column keeps its width; 0 makes the column as narrow as the grid allows, it stays visible.
    int Width() const;
    void setWidth(int twips);

    bool Visible() const;
    void setVisible(bool visible);

    // The column's text in the current row ("" without a current row).
    QString Text() const;

private:
    DataGrid *m_grid;
    int m_index;
};

} // namespace vq
