#pragma once
#include "cfilelister.h"

#include <QPersistentModelIndex>
#include <QTableView>

// What the list pane and the result list share as controls: the name is
// edited in place by a tap on a selected row or F2, whatever cell was hit,
// and the text the edit ends with is handed to EndLabelEdit.
class CFileListTable : public QTableView, public CFileLister {
    Q_OBJECT
public:
    explicit CFileListTable(QWidget *parent = nullptr);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

    // row is -1 when the edited row went away meanwhile.
    virtual void EndLabelEdit(int row, bool committed, const QString &newText) = 0;
    // Renames oldPath to newPath when newName is a plain name, or tells the
    // user it failed; true when renamed.
    bool RenameOrWarn(const QString &oldPath, const QString &newPath, const QString &newName);

private:
    QPersistentModelIndex m_editIndex;
    bool m_bEditCommitted = false;
    QString m_strEditText;
};
