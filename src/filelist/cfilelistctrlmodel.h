#pragma once
#include "cfilelistmodelbase.h"

#include <array>
#include <vector>

// Rows of the result list: the texts written into them, an icon and the
// row's item data. Column 0 holds a found file's full path; its edit text is
// the file name alone.
class CFileListCtrlModel : public CFileListModelBase {
    Q_OBJECT
public:
    explicit CFileListCtrlModel(QObject *parent);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;

    // Inserts before row (at the end when row is past it); the index used.
    int InsertRow(int row, const QString &text, const QIcon &icon);
    void Clear();
    bool IsRow(int row) const { return row >= 0 && row < int(m_rows.size()); }
    QString Text(int row, int column) const;
    bool SetText(int row, int column, const QString &text);
    bool SetIcon(int row, const QIcon &icon);
    qintptr Data(int row) const { return IsRow(row) ? m_rows[size_t(row)].data : 0; }

    // The texts of one column, row by row.
    std::vector<QString> ColumnTexts(int column) const;
    // Puts the rows in the given order (order[i] is the row that becomes row
    // i), moving the selection along.
    void ReorderRows(const std::vector<int> &order);
    // Each row's item data becomes its row index.
    void RenumberData();

protected:
    QString CellText(int row, int column, bool forEditing) const override;
    QIcon RowIcon(int row) const override;

private:
    struct Row {
        std::array<QString, 5> texts;
        QIcon icon;
        qintptr data = 0;
    };
    std::vector<Row> m_rows;
};
