// The tree's own rules, checked against the disk.
#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "folderlisting.h"

bool CDirTreeView::isConsistent() const
{
    if (topLevelItemCount() > 1)
        return false;
    QTreeWidgetItem *root = rootItem();
    return !root || (root->type() == DirTreeItem::Root && isNodeConsistent(root, QStringLiteral("\\")));
}

bool CDirTreeView::isNodeConsistent(QTreeWidgetItem *node, const QString &path) const
{
    const QStringList folders = FolderListing::read(path).folders;
    const QSet<QString> onDisk(folders.cbegin(), folders.cend());
    const int count = node->childCount();
    if (count == 0)
        return onDisk.isEmpty();

    QTreeWidgetItem *first = node->child(0);
    if (first->type() == DirTreeItem::Placeholder)
        return count == 1 && first->text(0) == DirTreeItem::expandPlaceholderLabel()
            && !node->isExpanded() && !onDisk.isEmpty();

    // Loaded children: only under an expanded node, real folders, strictly
    // sorted (so no duplicates), exactly the subfolders on disk.
    if (!node->isExpanded() || count != onDisk.size())
        return false;
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem *child = node->child(i);
        const QString label = child->text(0);
        if (child->type() != DirTreeItem::Folder || !onDisk.contains(label))
            return false;
        if (i > 0 && !labelLessThan(node->child(i - 1)->text(0), label))
            return false;
        if (!isNodeConsistent(child, path + label + QLatin1Char('\\')))
            return false;
    }
    return true;
}
