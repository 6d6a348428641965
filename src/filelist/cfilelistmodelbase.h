#pragma once
#include <QAbstractTableModel>
#include <QIcon>

// The five columns both lists show: headings, alignment (sizes to the
// right), the icon beside the name and the name as the only editable cell.
// A derived model only tells its row count and a cell's text and icon.
class CFileListModelBase : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    // Only asked for rows that exist and columns within the five.
    virtual QString CellText(int row, int column, bool forEditing) const = 0;
    virtual QIcon RowIcon(int row) const = 0;
};
