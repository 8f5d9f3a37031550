#include "helplist/DataGridColumn.h"

#include "data/RecordsetModel.h"
#include "helplist/DataGrid.h"
#include "platform/Error.h"
#include "platform/Twips.h"

#include <QAbstractItemModel>

namespace vq {

DataGridColumn::DataGridColumn(DataGrid *grid, int index)
    : m_grid(grid)
    , m_index(index)
{ }

QString DataGridColumn::Caption() const
{
    m_grid->checkColumn(m_index);
    return m_grid->model()->headerData(m_index, Qt::Horizontal).toString();
}

QString DataGridColumn::DataField() const
{
    return Caption();
}

int DataGridColumn::Width() const
{
    return twips::fromPixelsX(m_grid->columnPixelWidth(m_index), m_grid);
}

void DataGridColumn::setWidth(int twips)
{
    m_grid->checkColumn(m_index);
    if (twips < 0)
        throw vq::Error(vq::Error::InvalidPropertyValue);
    m_grid->setColumnPixelWidth(m_index, twips::toPixelsX(twips, m_grid));
}

bool DataGridColumn::Visible() const
{
    m_grid->checkColumn(m_index);
    return !m_grid->isColumnHidden(m_index);
}

void DataGridColumn::setVisible(bool visible)
{
    m_grid->setColumnVisible(m_index, visible);
}

QString DataGridColumn::Text() const
{
    m_grid->checkColumn(m_index);
    const int row = m_grid->Row();
    return row < 0 ? QString() : m_grid->recordsetModel()->recordText(row, m_index);
}

} // namespace vq
