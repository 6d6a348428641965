#include "cfilelisttable.h"

#include "cfilelistdelegate.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/touchtaps.h"

CFileListTable::CFileListTable(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegate(new CFileListDelegate(
        [this](const QString &text) {
            m_bEditCommitted = true;
            m_strEditText = text;
        },
        this));
    platform::TouchTaps::install(this);
}

bool CFileListTable::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // Whatever cell of a row is tapped, the name is what gets edited.
    const QModelIndex target = index.isValid() ? index.sibling(index.row(), ColName) : index;
    if (!QTableView::edit(target, trigger, event))
        return false;
    m_editIndex = target;
    m_bEditCommitted = false;
    m_strEditText.clear();
    return true;
}

void CFileListTable::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Taken first: closing may start the next edit, which resets them.
    const int row = m_editIndex.isValid() ? m_editIndex.row() : -1;
    const bool committed = m_bEditCommitted;
    const QString text = m_strEditText;
    m_editIndex = QPersistentModelIndex();
    m_bEditCommitted = false;
    m_strEditText.clear();
    QTableView::closeEditor(editor, hint);
    EndLabelEdit(row, committed, text);
}

bool CFileListTable::RenameOrWarn(const QString &oldPath, const QString &newPath, const QString &newName)
{
    if (IsDevicePathText(newName) && !oldPath.isEmpty() && RenameFile(oldPath, newPath))
        return true;
    platform::messageBox(this, QStringLiteral("Failed to rename"), QString(), platform::MB_ICONEXCLAMATION);
    return false;
}
