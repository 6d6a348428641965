#include "foldersize.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/work/longwork.h"

namespace {

// A subfolder that is no mount point lies on its parent's file system, so
// only the folder measured is checked for a pseudo file system.
double sizeOf(const QString &folder)
{
    QString base = folder;
    if (!base.endsWith(u'\\'))
        base += u'\\';
    platform::FindFile find;
    platform::FindData data;
    if (!platform::beginStep(base) || !find.first(base + QStringLiteral("*.*"), data))
        return 0;
    double sum = 0;
    do {
        if (platform::stopRequested())
            break;
        if (platform::isLinkEntry(data))
            continue;
        if (platform::isWalkableSubfolder(base + data.name, data)) {
            sum += sizeOf(base + data.name);
        } else if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
            continue; // a mount inside counts nothing
        } else {
            sum += double(data.sizeHigh) * 4294967296.0 + double(data.sizeLow);
            if (platform::WorkProgress *work = platform::currentWork()) {
                work->files.fetch_add(1, std::memory_order_relaxed);
                work->bytes.fetch_add(qint64(data.size()), std::memory_order_relaxed);
            }
        }
    } while (find.next(data));
    return sum;
}

} // namespace

double FolderSize(const QString &folder)
{
    // One step: the walk has nothing to ask on the way.
    return platform::runStep([&] { return platform::isPseudoFileSystem(folder) ? 0.0 : sizeOf(folder); });
}
