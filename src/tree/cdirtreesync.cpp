// Filling the tree from the disk and checking it against the disk.
#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "filelist/cfilelistviewex.h"
#include "platform/fileattributes.h"
#include "platform/findfile.h"
#include "platform/subfolderprobe.h"
#include "platform/ui/waitcursor.h"

#include <QSet>

#include <algorithm>

namespace {
const QString kAll = QStringLiteral("*.*");
}

// Stops at the first folder; hidden and system folders count like any other.
bool CDirTreeView::HasSubfolder(const QString &path) const
{
    return platform::hasSubfolder(path);
}

bool CDirTreeView::HasChildNamed(QTreeWidgetItem *parent, const QString &name) const
{
    if (!parent)
        return false;
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return true;
    return false;
}

void CDirTreeView::SyncBranch(QTreeWidgetItem *node, const QString &path, bool check)
{
    platform::WaitCursor wait;
    if (!node) {
        node = rootItem();
        if (m_pListView)
            m_pListView->ShowFolder(GetSelectedPath(), check);
        if (!node)
            return;
    }

    // A leaf that has gained subfolders gets its expand button back.
    QTreeWidgetItem *first = node->child(0);
    if (!first && HasSubfolder(path)) {
        node->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::expandPlaceholderLabel()));
        collapseQuietly(node);
    }
    // A collapsed node whose subfolders are gone loses it.
    if (check && DirTreeItem::isExpandPlaceholder(first) && !HasSubfolder(path)) {
        deleteNode(first);
        first = nullptr;
    }

    if (first && !DirTreeItem::isExpandPlaceholder(first) && !DirTreeItem::isUpdatePlaceholder(first)) {
        for (int i = 0; i < node->childCount();) {
            QTreeWidgetItem *child = node->child(i);
            const QString childPath = path + child->text(0);
            platform::FindData data;
            if (check && !platform::findEntry(childPath, data)) {
                deleteNode(child);
                continue;
            }
            SyncBranch(child, childPath + QLatin1Char('\\'), check);
            ++i;
        }
    }

    first = node->child(0);
    if (DirTreeItem::isUpdatePlaceholder(first)) {
        deleteNode(first);
        addSubfolders(node, path, check);
    } else if (check && first && !DirTreeItem::isExpandPlaceholder(first)) {
        addSubfolders(node, path, check);
    }
}

// Adds the folder's subfolders that the node does not hold yet (with check;
// without, all of them), each in its sorted place.
void CDirTreeView::addSubfolders(QTreeWidgetItem *node, const QString &path, bool check)
{
    QSet<QString> present; // the same exact test as HasChildNamed, without a walk per name
    if (check) {
        present.reserve(node->childCount());
        for (int i = 0; i < node->childCount(); ++i)
            present.insert(node->child(i)->text(0));
    }

    QStringList names;
    platform::FindFile find;
    platform::FindData data;
    if (find.first(path + kAll, data)) {
        do {
            if ((data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) && !present.contains(data.name))
                names.append(data.name);
        } while (find.next(data));
    }
    find.close();
    if (names.isEmpty())
        return;
    std::sort(names.begin(), names.end(), labelLessThan);
    platform::SubfolderProbe probe(path);
    insertSorted(node, names, probe);
}

// Merges sorted names into the node's sorted children, inserting each run
// of new nodes that share a place in one step.
void CDirTreeView::insertSorted(QTreeWidgetItem *node, const QStringList &sortedNames,
                                platform::SubfolderProbe &probe)
{
    int pos = 0;
    qsizetype next = 0;
    while (next < sortedNames.size()) {
        while (pos < node->childCount() && !labelLessThan(sortedNames.at(next), node->child(pos)->text(0)))
            ++pos;
        QList<QTreeWidgetItem *> run;
        while (next < sortedNames.size()
               && (pos == node->childCount() || labelLessThan(sortedNames.at(next), node->child(pos)->text(0))))
            run.append(newFolderItem(sortedNames.at(next++), probe));
        node->insertChildren(pos, run);
        pos += int(run.size());
    }
}

// A new folder node, with an expansion placeholder when the folder has
// subfolders of its own (the probe answers HasSubfolder for it).
QTreeWidgetItem *CDirTreeView::newFolderItem(const QString &name, platform::SubfolderProbe &probe) const
{
    auto *item = new DirTreeItem(DirTreeItem::Folder, name);
    item->setIcon(0, m_folderIcon);
    if (probe.hasSubfolder(name))
        item->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::expandPlaceholderLabel()));
    return item;
}
