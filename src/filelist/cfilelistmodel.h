#pragma once
#include <QAbstractTableModel>

class CFileListViewEx;

// The pane's rows as an owner-data list: it holds nothing but the row count
// and asks the pane for a cell's text or icon only when the cell is drawn.
class CFileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CFileListModel(CFileListViewEx *pane);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Deleting every row and telling the new count, around a listing.
    void BeginListing();
    void EndListing(int rowCount);
    // Every row's texts may have changed (after a sort).
    void InvalidateAll();

private:
    CFileListViewEx *m_pPane;
    int m_nRows = 0;
    bool m_bResetting = false;
};
