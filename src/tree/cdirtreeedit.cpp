// Renaming a folder in place.
#include "cdirtreeview.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/filesystem.h"
#include "platform/ui/messagebox.h"

#include <QTimer>

// The device itself, a folder that has gone and a volume's mount folder keep
// their labels.
bool CDirTreeView::OnBeginLabelEdit(QTreeWidgetItem *node) const
{
    const QString path = GetItemPath(node);
    if (!node || path == QLatin1String("\\"))
        return false;
    const quint32 attributes = platform::getFileAttributes(path);
    return attributes != platform::INVALID_FILE_ATTRIBUTES
        && !(attributes & platform::FILE_ATTRIBUTE_TEMPORARY);
}

// The new name is taken as typed; whatever the file system refuses is a
// failed rename. Only a rename that worked changes the label.
void CDirTreeView::OnEndLabelEdit(QTreeWidgetItem *node, const QString &text)
{
    QTreeWidgetItem *parent = node->parent();
    const QString folder = GetItemPath(parent);
    if (!platform::moveFile(folder + node->text(0), folder + text)) {
        platform::messageBox(this, QStringLiteral("Failed to rename"), QString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    node->setText(0, text);
    if (parent)
        parent->sortChildren(0, Qt::AscendingOrder); // this level only; the node keeps its branch
}

bool CDirTreeView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool starting = index.isValid() && state() != EditingState && !m_bEditPending
        && (trigger == AllEditTriggers || (trigger & editTriggers()));
    if (starting && !OnBeginLabelEdit(itemFromIndex(index)))
        return false;
    return QTreeWidget::edit(index, trigger, event);
}

void CDirTreeView::OnLabelEdited(const QPersistentModelIndex &index, const QString &text)
{
    m_editedIndex = index;
    m_strEditedText = text;
    m_bEditPending = true;
}

// The rename runs once the editor is gone and the view has finished the
// event that ended the edit, so a message box never meets a live editor.
void CDirTreeView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeWidget::closeEditor(editor, hint);
    if (m_bEditPending)
        QTimer::singleShot(0, this, &CDirTreeView::finishLabelEdit);
}

void CDirTreeView::finishLabelEdit()
{
    if (!m_bEditPending)
        return;
    m_bEditPending = false;
    QTreeWidgetItem *node = itemFromIndex(m_editedIndex);
    m_editedIndex = QPersistentModelIndex();
    if (node)
        OnEndLabelEdit(node, m_strEditedText);
}
