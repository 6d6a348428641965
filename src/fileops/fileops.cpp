#include "fileops.h"

#include "filetypes/shortcutfile.h"
#include "platform/base/lasterror.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/work/longwork.h"

#include <cerrno>
#include <optional>

namespace fileops {

bool FileExists(const QString &path)
{
    platform::FindData data;
    return platform::findEntry(path, data);
}

bool ListFolder(const QString &pattern, QList<platform::FindData> &entries)
{
    using Listing = std::optional<QList<platform::FindData>>;
    Listing listed = platform::runStep([pattern]() -> Listing {
        platform::FindFile find;
        platform::FindData data;
        if (!find.first(pattern, data))
            return std::nullopt;
        QList<platform::FindData> found;
        do
            found.append(data);
        while (!platform::stopRequested() && find.next(data));
        return found;
    }, platform::Step::Short);
    if (listed)
        entries.append(std::move(*listed));
    // A listing given up ends as a stopped one does: with what it has.
    return listed || (platform::lastError().code == ECANCELED && platform::stopRequested());
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
