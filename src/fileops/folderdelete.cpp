#include "folderdelete.h"

#include "fileops.h"
#include "platform/base/lasterror.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/work/longwork.h"

#include <cerrno>

namespace fileops {

namespace {

// Deletes what folder holds: everything, or only what record holds and is
// unchanged. kept: something was left (not recorded, or changed).
bool deleteContents(platform::FolderHandle &folder, const CopyRecord *record, bool stoppable, bool &kept)
{
    platform::FolderEntry entry;
    // A folder that cannot be listed, or whose listing breaks off, counts as
    // empty: removing it then fails unless it is.
    for (bool more = folder.first(QStringLiteral("*"), entry); more; more = folder.next(entry)) {
        // A stop asked for is a delete that did not complete.
        if (stoppable && platform::stopRequested())
            return platform::failWith(ECANCELED, QStringLiteral("Delete: stopped"));
        const QString path = folder.path() + entry.name;
        if (entry.type == platform::EntryType::Folder) {
            std::shared_ptr<CopyRecord> sub;
            if (record && !(sub = record->folders.value(entry.hostName))) {
                kept = true;
                continue;
            }
            platform::FolderHandle child;
            if (!child.open(folder, entry)) {
                if (record) {
                    kept = true;
                    continue;
                }
                if (!folder.removeFolder(entry))
                    return false;
                continue;
            }
            if (child.isMountPoint())
                return platform::failWith(EBUSY, QStringLiteral("Delete: %1 is a mount point").arg(path));
            platform::EntryId now;
            if (sub && (!child.identity(now) || !now.sameObject(sub->folder))) {
                kept = true;
                continue;
            }
            bool keptBelow = false;
            if (!deleteContents(child, sub.get(), stoppable, keptBelow))
                return false;
            child.close();
            if (keptBelow) {
                kept = true;
                continue;
            }
            if (!folder.removeFolder(entry))
                return false;
            continue;
        }
        if (record) {
            const auto then = record->files.constFind(entry.hostName);
            platform::EntryId now;
            if (then == record->files.cend() || !folder.identity(entry, now) || !now.unchangedSince(*then)) {
                kept = true;
                continue;
            }
        }
        if (stoppable && !platform::beginStep(path))
            return false;
        if (!DeleteClearedEntry(folder, entry))
            return false;
        // A move counted its files as it copied them: each file once.
        if (stoppable && !record)
            platform::noteFileDone();
    }
    return true;
}

} // namespace

bool TreeToDelete::take(const QString &folderPath)
{
    m_path = WithoutFinalBackslash(folderPath);
    m_link = false;
    m_folder.close();
    if (m_path.isEmpty())
        return false;
    platform::FindData data;
    if (platform::findEntry(m_path, data) && platform::isLinkEntry(data)) {
        m_link = platform::entryIdentity(m_path, m_linkId);
        if (m_link)
            return true;
    }
    if (m_folder.openToRemove(m_path))
        return true;
    m_error = platform::lastError().code;
    m_message = platform::lastError().message;
    return false;
}

bool TreeToDelete::deleteAll()
{
    return run(nullptr, true);
}

bool TreeToDelete::deleteRecorded(const CopyRecord &record, bool stoppable)
{
    return run(&record, stoppable);
}

bool TreeToDelete::run(const CopyRecord *record, bool stoppable)
{
    if (m_path.isEmpty())
        return platform::failWith(EBUSY, QStringLiteral("Delete: the device root"));
    if (m_link) {
        platform::EntryId now;
        if (!platform::entryIdentity(m_path, now) || !now.sameObject(m_linkId))
            return platform::failWith(ESTALE, QStringLiteral("Delete: %1 is no longer the link it was").arg(m_path));
        return platform::deleteFile(m_path);
    }
    if (!m_folder.isOpen())
        return platform::failWith(m_error, m_message);
    // Nothing goes when the path leads elsewhere now (a card pulled, another
    // folder put in its place): what is held is then no longer what the
    // user sees there.
    if (!m_folder.isStillAtPath())
        return false;
    if (m_folder.isMountPoint())
        return platform::failWith(EBUSY, QStringLiteral("Delete: %1 is a mount point").arg(m_path));
    platform::EntryId self;
    if (record && (!m_folder.identity(self) || !self.sameObject(record->folder)))
        return platform::failWith(ESTALE, QStringLiteral("Delete: %1 is not the folder copied").arg(m_path));
    bool kept = false;
    if (!deleteContents(m_folder, record, stoppable, kept))
        return false;
    if (kept)
        return platform::failWith(ENOTEMPTY, QStringLiteral("Delete: %1 holds entries written since the copy").arg(m_path));
    return m_folder.removeSelf();
}

bool DeleteFolderTree(const QString &folder)
{
    TreeToDelete tree;
    tree.take(folder);
    return tree.deleteAll();
}

} // namespace fileops
