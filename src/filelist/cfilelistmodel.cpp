#include "cfilelistmodel.h"

#include "cfilelistviewex.h"

CFileListModel::CFileListModel(CFileListViewEx *pane)
    : CFileListModelBase(pane)
    , m_pPane(pane)
{
}

int CFileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_nRows;
}

QString CFileListModel::CellText(int row, int column, bool) const
{
    return m_pPane->GetItemText(row, column);
}

QIcon CFileListModel::RowIcon(int row) const
{
    return m_pPane->GetItemIcon(row);
}

void CFileListModel::BeginListing()
{
    if (m_bResetting)
        return;
    m_bResetting = true;
    beginResetModel();
    m_nRows = 0;
}

void CFileListModel::EndListing(int rowCount)
{
    if (!m_bResetting)
        return;
    m_nRows = rowCount;
    m_bResetting = false;
    endResetModel();
}

void CFileListModel::InvalidateAll()
{
    if (m_nRows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_nRows - 1, CFileLister::ColumnCount - 1));
}
