#include "cfilelistmodelbase.h"

#include "cfilelister.h"

int CFileListModelBase::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CFileLister::ColumnCount;
}

QVariant CFileListModelBase::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= CFileLister::ColumnCount)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return CellText(index.row(), index.column(), role == Qt::EditRole);
    case Qt::DecorationRole:
        return index.column() == CFileLister::ColName ? QVariant(RowIcon(index.row())) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == CFileLister::ColSize)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant CFileListModelBase::headerData(int section, Qt::Orientation orientation, int role) const
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

Qt::ItemFlags CFileListModelBase::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == CFileLister::ColName)
        result |= Qt::ItemIsEditable;
    return result;
}
