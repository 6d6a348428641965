#include "longworkcount.h"

#include "findfile.h"
#include "walkguard.h"
#include "platform/work/longwork.h"

namespace platform {

void countBeside(const LongWork &work, const QStringList &paths)
{
    if (work.isOutermost() && !detail::hasBesideWork())
        detail::setBesideWork(std::make_unique<detail::WorkCounter>(*currentWork(), paths));
}

} // namespace platform

namespace platform::detail {

WorkCounter::WorkCounter(WorkProgress &progress, const QStringList &paths)
    : m_progress(progress)
    , m_thread([this, paths] { count(paths); })
{
}

WorkCounter::~WorkCounter()
{
    m_stop.store(true);
    m_thread.join();
}

void WorkCounter::count(const QStringList &paths)
{
    for (const QString &path : paths) {
        FindData data;
        if (m_stop.load() || !findEntry(path, data))
            continue;
        if (isWalkableFolder(data) && !isPseudoFileSystem(path))
            countFolder(path);
        else if (!isLinkEntry(data)) {
            ++m_files;
            m_bytes += qint64(data.size());
        }
    }
    if (m_stop.load())
        return;
    m_progress.totalBytes.store(m_bytes);
    m_progress.totalFiles.store(m_files);
}

void WorkCounter::countFolder(const QString &folder)
{
    FindFile find;
    FindData data;
    if (!find.first(folder + QStringLiteral("\\*"), data))
        return;
    do {
        if (m_stop.load(std::memory_order_relaxed))
            return;
        if (isLinkEntry(data))
            continue;
        const QString path = folder + u'\\' + data.name;
        // A subfolder that is no mount point lies on its parent's file system.
        if (isWalkableSubfolder(path, data)) {
            countFolder(path);
        } else if (!(data.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++m_files;
            m_bytes += qint64(data.size());
        }
    } while (find.next(data));
}

} // namespace platform::detail
