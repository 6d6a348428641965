#include "foldersize.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/work/longwork.h"

#include <atomic>
#include <memory>

namespace {

// A subfolder that is no mount point lies on its parent's file system, so
// only the folder measured is checked for a pseudo file system. What it
// counts goes to sum at once: a walk given up still has counted that much.
void sizeOf(const QString &folder, std::atomic<double> &sum)
{
    QString base = folder;
    if (!base.endsWith(u'\\'))
        base += u'\\';
    platform::FindFile find;
    platform::FindData data;
    if (!platform::beginStep(base) || !find.first(base + QStringLiteral("*.*"), data))
        return;
    do {
        if (platform::stopRequested())
            break;
        if (platform::isLinkEntry(data))
            continue;
        if (platform::isWalkableSubfolder(base + data.name, data)) {
            sizeOf(base + data.name, sum);
        } else if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
            continue; // a mount inside counts nothing
        } else {
            sum.fetch_add(double(data.sizeHigh) * 4294967296.0 + double(data.sizeLow), std::memory_order_relaxed);
            if (platform::WorkProgress *work = platform::currentWork()) {
                work->files.fetch_add(1, std::memory_order_relaxed);
                work->bytes.fetch_add(qint64(data.size()), std::memory_order_relaxed);
            }
        }
    } while (find.next(data));
}

} // namespace

double FolderSize(const QString &folder)
{
    // One step: the walk has nothing to ask on the way. Stopped while stuck
    // (a hung mount), it is given up with what it has counted.
    const auto sum = std::make_shared<std::atomic<double>>(0.0);
    platform::runStep([folder, sum] {
        if (!platform::isPseudoFileSystem(folder))
            sizeOf(folder, *sum);
    });
    return sum->load();
}
