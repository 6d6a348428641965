#include "fileops.h"

#include "filetypes/shortcutfile.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/fs/folderhandle.h"
#include "platform/work/longwork.h"

#include <cerrno>

namespace fileops {

bool FileExists(const QString &path)
{
    platform::FindData data;
    return platform::findEntry(path, data);
}

bool ListFolder(const QString &pattern, QList<platform::FindData> &entries, platform::EntryId *folder)
{
    struct Listing {
        bool started = false;
        QList<platform::FindData> entries;
        platform::EntryId folder;
    };
    const bool identify = folder;
    Listing listing = platform::runStep(
        [pattern, identify] {
            Listing out;
            if (identify) {
                const QString path = pattern.left(pattern.lastIndexOf(u'\\'));
                platform::entryIdentity(path.isEmpty() ? QStringLiteral("\\") : path, out.folder, true);
            }
            platform::FindFile find;
            platform::FindData data;
            if (!find.first(pattern, data))
                return out;
            out.started = true;
            do
                out.entries.append(data);
            while (!platform::stopRequested() && find.next(data));
            return out;
        },
        platform::Step::Short);
    entries = std::move(listing.entries);
    if (folder)
        *folder = listing.folder;
    // A listing given up ends as a stopped one does: with what it has.
    return listing.started || (platform::lastError().code == ECANCELED && platform::stopRequested());
}

QString WithoutFinalBackslash(const QString &path)
{
    return path.endsWith(u'\\') ? path.chopped(1) : path;
}

QString LastComponent(const QString &path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

QString TopLevelFolder(const QString &path)
{
    if (path.size() <= 1)
        return path;
    const qsizetype slash = path.indexOf(u'\\', 1);
    return slash < 0 ? path : path.left(slash);
}

bool DeleteClearedFile(const QString &path)
{
    // A link refuses the change (it stores nothing) and keeps its target as
    // it is. Unlinking needs no change, so an inode that other names share
    // keeps its attributes for them.
    if (!platform::isSharedFile(path))
        platform::setFileAttributes(path, 0);
    return platform::deleteFile(path);
}

bool DeleteClearedEntry(const platform::FolderHandle &folder, const platform::FolderEntry &entry)
{
    if (!folder.isSharedEntry(entry))
        folder.setAttributes(entry, 0);
    return folder.deleteEntry(entry);
}

bool DeleteClearedFileIfUnchanged(const platform::FolderHandle &folder, const QString &name, const QString &path,
                                  const platform::EntryId &then)
{
    platform::FolderEntry entry;
    entry.name = name;
    entry.hostName = platform::hostNameFromDevice(name);
    platform::EntryId now;
    if (!(folder.isOpen() ? folder.identity(entry, now) : platform::entryIdentity(path, now)))
        return false;
    if (!now.unchangedSince(then))
        return platform::failWith(ESTALE, QStringLiteral("Delete: %1 changed since it was copied").arg(path));
    return folder.isOpen() ? DeleteClearedEntry(folder, entry) : DeleteClearedFile(path);
}

namespace {
std::function<void()> &beforeMoveDelete()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SetBeforeMoveDelete(std::function<void()> hook)
{
    beforeMoveDelete() = std::move(hook);
}

void BeforeMoveDelete()
{
    if (beforeMoveDelete())
        beforeMoveDelete()();
}

QString ShortcutName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot < 0 ? fileName : fileName.left(dot)) + QStringLiteral(".lnk");
}

bool WriteShortcut(const QString &target, const QString &file)
{
    return platform::writeFileAtomically(file, ShortcutFile::Compose(target), false);
}

QString NewFolderName(const QString &folder)
{
    QString name = QStringLiteral("New Folder");
    for (int n = 1; FileExists(folder + name); ++n)
        name = QStringLiteral("New Folder %1").arg(n);
    return name;
}

} // namespace fileops
