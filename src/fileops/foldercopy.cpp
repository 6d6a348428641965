#include "foldercopy.h"

#include "fileops.h"
#include "platform/filesystem.h"
#include "platform/findfile.h"
#include "platform/lasterror.h"
#include "platform/longwork.h"
#include "platform/walkguard.h"

#include <cerrno>

namespace fileops {

namespace {
struct DepthGuard {
    int &depth;
    ~DepthGuard() { --depth; }
};

QString asFolder(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("\\") : path;
}
} // namespace

bool FolderCopy::refusedIntoSource(const QString &source, const QString &target) const
{
    if (target.startsWith(source))
        return true;
    // Below the first level the destination is a folder this copy made.
    return m_nDepth == 1 && platform::isSameOrInsideFolder(asFolder(target), asFolder(source));
}

bool FolderCopy::CopyFolder(const QString &sourcePath, const QString &targetPath)
{
    const QString source = WithoutFinalBackslash(sourcePath);
    const QString target = WithoutFinalBackslash(targetPath);
    const QString name = LastComponent(source);
    if (++m_nDepth == 1)
        m_bContinue = true;
    const DepthGuard leave{m_nDepth};

    if (refusedIntoSource(source, target)) {
        m_host.CopyIntoSourceRefused();
        return false;
    }
    // A source that went away leaves no empty copy behind.
    if (m_nDepth == 1 && !FileExists(source))
        return false;

    const QString folder = target + u'\\' + name;
    if (!platform::runStep([&] { return platform::createDirectory(folder); })) {
        m_host.CreateFolderFailed();
        return false;
    }
    m_host.FolderCreated();

    QList<platform::FindData> entries;
    if (!ListFolder(source + QStringLiteral("\\*.*"), entries))
        return platform::lastError().code == ENOENT; // empty: nothing more to copy
    const int listingEnd = platform::lastError().code;

    bool copied = true;
    for (const platform::FindData &data : std::as_const(entries)) {
        // A stop asked for ends every level, like a No.
        if (platform::stopRequested())
            m_bContinue = false;
        if (!m_bContinue)
            break;
        const QString from = source + u'\\' + data.name;
        if (platform::isWalkableFolder(data)) {
            copied = CopyFolder(from, folder) && copied;
        } else if (copyFile(from, folder + u'\\' + data.name)) {
            platform::noteFileDone();
        } else {
            copied = false;
            if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(from))
                m_bContinue = false;
        }
    }
    // A listing that broke off, or a stopped copy, is a copy that is not complete.
    if ((m_bContinue && listingEnd != ENOENT) || platform::stopRequested())
        copied = false;
    return copied;
}

bool FolderCopy::copyFile(const QString &from, const QString &to)
{
    return platform::beginStep(from) && platform::runStep([&] { return platform::copyFile(from, to, true); });
}

} // namespace fileops
