// The tree following the disk: the expanded folders are watched, and a
// change in one repairs that branch alone.
#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "filelist/livechanges.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/folderwatch.h"

#include <algorithm>

namespace {

// A node whose children are folders read from disk, not a placeholder.
bool holdsFolders(const QTreeWidgetItem *node)
{
    const QTreeWidgetItem *first = node->child(0);
    return first && !DirTreeItem::isExpandPlaceholder(first) && !DirTreeItem::isUpdatePlaceholder(first);
}

bool isShownFolder(const platform::WatchedEntry &entry)
{
    return entry.present && (entry.data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

QTreeWidgetItem *CDirTreeView::itemAtPath(const QString &path) const
{
    QTreeWidgetItem *node = rootItem();
    const QStringList labels = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString &label : labels) {
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; node && i < node->childCount() && !found; ++i)
            if (node->child(i)->text(0) == label)
                found = node->child(i);
        node = found;
    }
    return node;
}

void CDirTreeView::updateWatchedFolders()
{
    QStringList folders;
    QTreeWidgetItem *root = rootItem();
    if (root && root->isExpanded() && holdsFolders(root)) {
        std::vector<std::pair<QTreeWidgetItem *, QString>> open{{root, QStringLiteral("\\")}};
        while (!open.empty()) {
            auto [node, path] = open.back();
            open.pop_back();
            folders.append(path);
            for (int i = 0; i < node->childCount(); ++i) {
                QTreeWidgetItem *child = node->child(i);
                if (child->isExpanded() && holdsFolders(child))
                    open.emplace_back(child, path + child->text(0) + QLatin1Char('\\'));
            }
        }
    }
    m_pLive->setFolders(folders);
}

void CDirTreeView::ApplyLiveChanges(const platform::FolderChanges &changes)
{
    QTreeWidgetItem *node = itemAtPath(changes.folder);
    if (!node || !holdsFolders(node))
        return;
    QHash<QString, const platform::WatchedEntry *> byName;
    for (const platform::WatchedEntry &entry : changes.entries)
        byName.insert(entry.name, &entry);

    bool changed = false;
    QSet<QString> present;
    // In the walk's order, so a selection inside a vanished folder moves on
    // to the node the walk would choose, and the list follows it.
    for (int i = 0; i < node->childCount();) {
        QTreeWidgetItem *child = node->child(i);
        const auto it = byName.constFind(child->text(0));
        const bool goes = it == byName.constEnd() ? changes.complete : !isShownFolder(**it);
        if (goes) {
            deleteNode(child);
            changed = true;
        } else {
            present.insert(child->text(0));
            ++i;
        }
    }

    std::vector<const platform::WatchedEntry *> added;
    for (const platform::WatchedEntry &entry : changes.entries)
        if (isShownFolder(entry) && !present.contains(entry.name))
            added.push_back(&entry);
    std::sort(added.begin(), added.end(), [](const auto *a, const auto *b) { return labelLessThan(a->name, b->name); });
    int pos = 0;
    for (const platform::WatchedEntry *entry : added) {
        while (pos < node->childCount() && !labelLessThan(entry->name, node->child(pos)->text(0)))
            ++pos;
        auto *item = new DirTreeItem(DirTreeItem::Folder, entry->name);
        item->setIcon(0, m_folderIcon);
        if (entry->hasSubfolder)
            item->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::expandPlaceholderLabel()));
        node->insertChild(pos++, item);
        changed = true;
    }
    if (changed)
        updateWatchedFolders();
}
