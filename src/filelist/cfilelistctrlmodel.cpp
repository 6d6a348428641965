#include "cfilelistctrlmodel.h"

#include "cfilelister.h"

#include <algorithm>
#include <numeric>

CFileListCtrlModel::CFileListCtrlModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_rows.reserve(200); // a search usually finds a few hundred files at most
}

int CFileListCtrlModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CFileListCtrlModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CFileLister::ColumnCount;
}

QVariant CFileListCtrlModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !IsRow(index.row()) || index.column() >= CFileLister::ColumnCount)
        return QVariant();
    const Row &row = m_rows[size_t(index.row())];
    const QString &text = row.texts[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return text;
    case Qt::EditRole:
        if (index.column() == CFileLister::ColName)
            return text.mid(text.lastIndexOf(QLatin1Char('\\')) + 1);
        return text;
    case Qt::DecorationRole:
        return index.column() == CFileLister::ColName ? QVariant(row.icon) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == CFileLister::ColSize)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant CFileListCtrlModel::headerData(int section, Qt::Orientation orientation, int role) const
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

Qt::ItemFlags CFileListCtrlModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == CFileLister::ColName)
        result |= Qt::ItemIsEditable;
    return result;
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

void CFileListCtrlModel::SortRows(int column, const TextComparison &compare)
{
    if (column < 0 || column >= CFileLister::ColumnCount || m_rows.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    const size_t c = size_t(column);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(m_rows[size_t(a)].texts[c], m_rows[size_t(b)].texts[c]) < 0;
    });

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
