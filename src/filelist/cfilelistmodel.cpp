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

void CFileListModel::RowsChanged(int first, int last)
{
    Q_EMIT dataChanged(index(first, 0), index(last, CFileLister::ColumnCount - 1));
}

void CFileListModel::BeginRemove(int first, int last)
{
    beginRemoveRows(QModelIndex(), first, last);
    m_nChangeCount = last - first + 1;
}

void CFileListModel::EndRemove()
{
    m_nRows -= m_nChangeCount;
    endRemoveRows();
}

void CFileListModel::BeginInsert(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
    m_nChangeCount = last - first + 1;
}

void CFileListModel::EndInsert()
{
    m_nRows += m_nChangeCount;
    endInsertRows();
}

void CFileListModel::BeginRelayout()
{
    Q_EMIT layoutAboutToBeChanged();
}

void CFileListModel::EndRelayout(int rowCount, const std::vector<int> &newRowOfOld)
{
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    m_nRows = rowCount;
    for (const QModelIndex &old : before) {
        const int row = old.row() < int(newRowOfOld.size()) ? newRowOfOld[size_t(old.row())] : -1;
        after.append(row < 0 ? QModelIndex() : index(row, old.column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}
