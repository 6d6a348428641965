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

// folder ends with a backslash. One find record serves every level: a
// level reads it only for the entry just fetched, before descending.
bool deleteLevel(const QString &folder, platform::FindData &data)
{
    const QString path = folder.chopped(1);
    if (platform::isMountPoint(path))
        return platform::failWith(EBUSY, QStringLiteral("Delete: %1 is a mount point").arg(path));
    bool deleted = true;
    platform::FindFile find;
    if (find.first(folder + u'*', data)) {
        do {
            // A stop asked for is a delete that did not complete.
            if (platform::stopRequested()) {
                deleted = platform::failWith(ECANCELED, QStringLiteral("Delete: stopped"));
                break;
            }
            const QString entry = folder + data.name;
            if (platform::isWalkableFolder(data)) {
                deleted = deleteLevel(entry + u'\\', data);
            } else if ((deleted = platform::beginStep(entry) && DeleteClearedFile(entry))) {
                platform::noteFileDone();
            }
        } while (deleted && find.next(data));
        find.close();
    }
    return deleted && platform::removeDirectory(path);
}

} // namespace

bool DeleteFolderTree(const QString &folderPath)
{
    const QString path = WithoutFinalBackslash(folderPath);
    if (path.isEmpty())
        return platform::failWith(EBUSY, QStringLiteral("Delete: the device root"));
    platform::FindData data;
    if (platform::findEntry(path, data) && platform::isLinkEntry(data))
        return platform::deleteFile(path);
    return deleteLevel(path + u'\\', data);
}

} // namespace fileops
