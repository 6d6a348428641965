#pragma once
#include "cfilelistmodelbase.h"

#include <vector>

class CFileListViewEx;

// The pane's rows as an owner-data list: it holds nothing but the row count
// and asks the pane for a cell's text or icon only when the cell is drawn.
class CFileListModel : public CFileListModelBase {
    Q_OBJECT
public:
    explicit CFileListModel(CFileListViewEx *pane);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;

    // Deleting every row and telling the new count, around a listing.
    void BeginListing();
    void EndListing(int rowCount);
    bool IsListing() const { return m_bResetting; }
    // Every row's texts may have changed (after a sort).
    void InvalidateAll();
    // Rows that follow the disk without a listing: each change is told with
    // the pane's entries already changed to match.
    void RowsChanged(int first, int last);
    void BeginRemove(int first, int last);
    void EndRemove();
    void BeginInsert(int first, int last);
    void EndInsert();
    // Many runs at once: one layout change; newRowOfOld maps each old row to
    // its new one, -1 for a row gone.
    void BeginRelayout();
    void EndRelayout(int rowCount, const std::vector<int> &newRowOfOld);

protected:
    QString CellText(int row, int column, bool forEditing) const override;
    QIcon RowIcon(int row) const override;

private:
    CFileListViewEx *m_pPane;
    int m_nRows = 0;
    bool m_bResetting = false;
    int m_nChangeCount = 0;
};
