// Filling the tree from the disk and checking it against the disk.
#include "cdirtreeview.h"

#include "dirtreeitem.h"
#include "filelist/cfilelistviewex.h"
#include "folderlisting.h"
#include "filelist/livechanges.h"
#include "platform/fs/findfile.h"
#include "platform/fs/subfolderprobe.h"
#include "platform/ui/waitcursor.h"
#include "platform/work/readstep.h"

#include <QScopeGuard>

#include <algorithm>
#include <optional>

// Stops at the first folder; hidden and system folders count like any other.
bool CDirTreeView::HasSubfolder(const QString &path) const
{
    return platform::hasSubfolder(path);
}

void CDirTreeView::SyncBranch(QTreeWidgetItem *node, const QString &path, bool check)
{
    platform::WaitCursor wait;
    ++m_nWalks;
    const auto walked = qScopeGuard([this] { --m_nWalks; });
    platform::ReadingScope reading; // one Cancel gives up the whole walk
    if (!node) {
        node = rootItem();
        if (m_pListView) {
            const int listings = m_pListView->GetListingCount();
            m_strListedPath = GetSelectedPath();
            m_pListView->ShowFolder(m_strListedPath, check);
            if (m_pListView->GetListingCount() != listings)
                m_listedByList = FolderListing::fromFolderNames(m_pListView->GetFolderNames());
        }
        if (!node)
            return;
    }
    syncNode(node, path, check, nullptr);
    m_listedByList.reset();
    updateWatchedFolders();
}

// One node of the walk. A child is asked about its own subfolders through
// its parent's probe, and a checking walk reads each loaded folder once,
// both to see which children are still there and to add the new ones.
void CDirTreeView::syncNode(QTreeWidgetItem *node, const QString &path, bool check,
                            platform::SubfolderProbe *parentProbe)
{
    std::optional<FolderListing> listing;
    if (m_listedByList && path == m_strListedPath)
        listing = m_listedByList;
    const auto hasSubfolder = [&] {
        if (listing)
            return !listing->folders.isEmpty();
        return parentProbe ? parentProbe->hasSubfolder(node->text(0)) : HasSubfolder(path);
    };
    const auto listed = [&]() -> const FolderListing & {
        if (!listing) {
            // An expanded folder is followed from before it is read.
            if (node->isExpanded())
                m_pLive->addFolder(path);
            m_pLive->listingBegins(path);
            listing = FolderListing::read(path);
        }
        return *listing;
    };

    // A leaf that has gained subfolders gets its expand button back.
    QTreeWidgetItem *first = node->child(0);
    if (!first && hasSubfolder()) {
        node->addChild(new DirTreeItem(DirTreeItem::Placeholder, DirTreeItem::expandPlaceholderLabel()));
        collapseQuietly(node);
    }
    // A collapsed node whose subfolders are gone loses it.
    if (check && DirTreeItem::isExpandPlaceholder(first) && !hasSubfolder()) {
        deleteNode(first);
        first = nullptr;
    }

    std::optional<platform::SubfolderProbe> probe;
    if (first && !DirTreeItem::isExpandPlaceholder(first) && !DirTreeItem::isUpdatePlaceholder(first)) {
        probe.emplace(path);
        for (int i = 0; i < node->childCount();) {
            QTreeWidgetItem *child = node->child(i);
            const QString childPath = path + child->text(0);
            // Only a name the listing lacks is looked up on its own: the
            // listing may have stopped early, or the label may not be a
            // plain name.
            if (check && !listed().entries.contains(child->text(0)) && !platform::readStep(childPath, [childPath] {
                    platform::FindData data;
                    return platform::findEntry(childPath, data);
                })) {
                deleteNode(child);
                continue;
            }
            syncNode(child, childPath + QLatin1Char('\\'), check, &*probe);
            ++i;
        }
    }

    // The update placeholder marks a node to fill; a checking walk also adds
    // what appeared under a loaded node.
    first = node->child(0);
    const bool marked = DirTreeItem::isUpdatePlaceholder(first);
    if (marked)
        deleteNode(first);
    if (marked || (check && first && !DirTreeItem::isExpandPlaceholder(first))) {
        if (!probe)
            probe.emplace(path);
        addSubfolders(node, listed().folders, check, *probe);
    }
}

// Adds the folders the node does not hold yet (with check; without, all of
// them), each in its sorted place. Labels are compared exactly.
void CDirTreeView::addSubfolders(QTreeWidgetItem *node, const QStringList &folders, bool check,
                                 platform::SubfolderProbe &probe)
{
    QSet<QString> present;
    if (check) {
        present.reserve(node->childCount());
        for (int i = 0; i < node->childCount(); ++i)
            present.insert(node->child(i)->text(0));
    }
    QStringList names;
    for (const QString &name : folders)
        if (!present.contains(name))
            names.append(name);
    if (names.isEmpty())
        return;
    std::sort(names.begin(), names.end(), labelLessThan);
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
