#include "cfilelistmodel.h"

#include "cfilelistviewex.h"

CFileListModel::CFileListModel(CFileListViewEx *pane)
    : QAbstractTableModel(pane)
    , m_pPane(pane)
{
}

int CFileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_nRows;
}

int CFileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CFileLister::ColumnCount;
}

QVariant CFileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_nRows)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_pPane->GetItemText(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == CFileLister::ColName)
            return m_pPane->GetItemIcon(index.row());
        return QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == CFileLister::ColSize)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant CFileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        const QString heading = CFileLister::ColumnHeading(section);
        return heading.isEmpty() ? QVariant() : QVariant(heading);
    }
    if (role == Qt::TextAlignmentRole && section == CFileLister::ColSize)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags CFileListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == CFileLister::ColName)
        result |= Qt::ItemIsEditable;
    return result;
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
