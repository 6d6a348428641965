#pragma once
#include "cfilelisttable.h"

class CFileListCtrlModel;

// The Find Files result list: one row per found file, column 0 its full
// path, the other columns written in by FillRow. Sorted by the texts shown.
//
// The search runs on a thread of its own. GetItemCount, InsertItem,
// DeleteAllItems, FillRow and AddFoundFile may be called from any thread:
// the file is looked up and the size, date and attribute texts are made on
// the calling thread, and the row is changed on the list's own thread by a
// blocking queued call, as a sent window message would. So a worker calling
// them needs the list's thread to keep running its event loop: stop such a
// worker and wait for it while processing events, never with a bare join.
class CFileListCtrl : public CFileListTable {
    Q_OBJECT
public:
    explicit CFileListCtrl(QWidget *parent = nullptr);
    ~CFileListCtrl() override;

    int GetItemCount() const;
    // Inserts a row whose column 0 is text; the row index, or -1.
    int InsertItem(int row, const QString &text);
    void DeleteAllItems();
    QString GetItemText(int row, int column) const;
    bool SetItemText(int row, int column, const QString &text);
    qintptr GetItemData(int row) const;
    QIcon GetItemIcon(int row) const;

    // Writes columns 1 to 4 and the icon of an existing row from a
    // directory entry found in folder. False when the row is not there.
    bool FillRow(int row, const QString &folder, const platform::FindData &data);
    // Finds the entry at fullPath and fills the row from it; false when the
    // file cannot be found.
    bool AddFoundFile(int row, const QString &fullPath);
    // The same with the entry already read where it was found.
    bool AddFoundFile(int row, const QString &fullPath, const platform::FindData &data);

    // Sorts the rows by the texts of a column; a second click on the same
    // column reverses the order.
    void SortByColumnText(int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void EndLabelEdit(int row, bool committed, const QString &newName) override;

private:
    struct RowTexts {
        QString fullPath;
        QString name;
        QString size;
        QString changed;
        QString attrs;
        bool folder = false;
    };
    bool ApplyRow(int row, const RowTexts &texts);
    void OnColumnClick(int column);
    template <typename Function>
    void RunOnOwnThread(Function function) const;

    CFileListCtrlModel *m_pModel = nullptr;
};
