#include "cfilelistctrlmodel.h"

#include "cfilelister.h"

CFileListCtrlModel::CFileListCtrlModel(QObject *parent)
    : CFileListModelBase(parent)
{
    m_rows.reserve(200); // a search usually finds a few hundred files at most
}

int CFileListCtrlModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QString CFileListCtrlModel::CellText(int row, int column, bool forEditing) const
{
    const QString &text = m_rows[size_t(row)].texts[size_t(column)];
    if (forEditing && column == CFileLister::ColName)
        return text.mid(text.lastIndexOf(QLatin1Char('\\')) + 1);
    return text;
}

QIcon CFileListCtrlModel::RowIcon(int row) const
{
    return m_rows[size_t(row)].icon;
}

int CFileListCtrlModel::InsertRow(int row, const QString &text, const QIcon &icon)
{
    const int count = int(m_rows.size());
    if (row < 0 || row > count)
        row = count;
    beginInsertRows(QModelIndex(), row, row);
    Row added;
    added.texts[0] = text;
    added.icon = icon;
    m_rows.insert(m_rows.begin() + row, std::move(added));
    endInsertRows();
    return row;
}

void CFileListCtrlModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString CFileListCtrlModel::Text(int row, int column) const
{
    if (!IsRow(row) || column < 0 || column >= CFileLister::ColumnCount)
        return QString();
    return m_rows[size_t(row)].texts[size_t(column)];
}

bool CFileListCtrlModel::SetText(int row, int column, const QString &text)
{
    if (!IsRow(row) || column < 0 || column >= CFileLister::ColumnCount)
        return false;
    m_rows[size_t(row)].texts[size_t(column)] = text;
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool CFileListCtrlModel::SetIcon(int row, const QIcon &icon)
{
    if (!IsRow(row))
        return false;
    m_rows[size_t(row)].icon = icon;
    const QModelIndex cell = index(row, CFileLister::ColName);
    Q_EMIT dataChanged(cell, cell, {Qt::DecorationRole});
    return true;
}

std::vector<QString> CFileListCtrlModel::ColumnTexts(int column) const
{
    std::vector<QString> texts;
    if (column < 0 || column >= CFileLister::ColumnCount)
        return texts;
    texts.reserve(m_rows.size());
    for (const Row &row : m_rows)
        texts.push_back(row.texts[size_t(column)]);
    return texts;
}

void CFileListCtrlModel::ReorderRows(const std::vector<int> &order)
{
    if (order.size() != m_rows.size() || m_rows.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRow(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
        newRow[size_t(order[i])] = int(i);
    }
    m_rows = std::move(sorted);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from)
        to.append(index(newRow[size_t(old.row())], old.column()));
    changePersistentIndexList(from, to);

    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CFileListCtrlModel::RenumberData()
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].data = qintptr(i);
}
