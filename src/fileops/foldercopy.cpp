#include "foldercopy.h"

#include "fileops.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/work/longwork.h"

#include <cerrno>
#include <optional>

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

bool FolderCopy::IntoSource(const QString &source, const QString &target)
{
    return target.startsWith(source) || platform::isSameOrInsideFolder(asFolder(target), asFolder(source));
}

bool FolderCopy::refusedIntoSource(const QString &source, const QString &target) const
{
    // Below the first level the destination is a folder this copy made.
    return m_nDepth == 1 ? IntoSource(source, target) : target.startsWith(source);
}

bool FolderCopy::CopyFolder(const QString &source, const QString &target, CopyRecords *records)
{
    return copyLevel(source, target, records ? records->read.get() : nullptr,
                     records ? records->made.get() : nullptr);
}

bool FolderCopy::copyLevel(const QString &sourcePath, const QString &targetPath, CopyRecord *read, CopyRecord *made)
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
    const QString folder = target + u'\\' + name;
    const auto created = platform::runStep(
        [folder] {
            platform::EntryId id;
            return platform::createDirectory(folder, &id) ? std::optional(id) : std::nullopt;
        },
        platform::Step::Short);
    if (!created) {
        m_host.CreateFolderFailed();
        return false;
    }
    if (made)
        made->folder = *created;
    m_host.FolderCreated();

    QList<platform::FindData> entries;
    if (!ListFolder(source + QStringLiteral("\\*.*"), entries, read ? &read->folder : nullptr)) {
        if (platform::lastError().code == ENOENT)
            return FileExists(source); // empty: complete; gone: a failure with nothing to say
        return failedListing(source);
    }
    const int listingEnd = platform::lastError().code;

    bool copied = true;
    // Both folders are held open for the files between two subfolders: a
    // level held through the levels below would hold a descriptor per level.
    const auto pair = std::make_shared<std::optional<platform::FolderCopyPair>>();
    for (const platform::FindData &data : std::as_const(entries)) {
        // A stop asked for ends every level, like a No.
        if (platform::stopRequested())
            m_bContinue = false;
        if (!m_bContinue)
            break;
        m_host.BetweenSteps();
        const QString from = source + u'\\' + data.name;
        const QByteArray hostName = read || made ? platform::hostNameFromDevice(data.name) : QByteArray();
        std::optional<platform::CopiedIds> ids;
        if (platform::isWalkableSubfolder(from, data)) {
            pair->reset();
            const auto subRead = read ? read->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
            const auto subMade = made ? made->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
            copied = copyLevel(from, folder, subRead.get(), subMade.get()) && copied;
        } else if (!platform::isWalkableFolder(data)
                   && (ids = copyFile(pair, source, folder, from, folder + u'\\' + data.name, data))) {
            if (read)
                read->files.insert(hostName, ids->source);
            if (made)
                made->files.insert(hostName, ids->made);
            platform::noteFileDone();
        } else {
            // A mount inside is not entered: it fails as a file that cannot be copied.
            copied = false;
            if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(from))
                m_bContinue = false;
        }
    }
    // A stopped copy is not complete.
    if (platform::stopRequested())
        return false;
    if (m_bContinue && listingEnd != ENOENT)
        return failedListing(source);
    return copied;
}

// A folder whose listing cannot be read, or broke off, is not copied
// completely: it is reported as a file that failed, so no copy (and no move
// after it) is taken for whole.
bool FolderCopy::failedListing(const QString &source)
{
    if (!m_host.ContinueAfterFailedCopy(source))
        m_bContinue = false;
    return false;
}

// The pair of folders is opened by the first file's step, off the
// user-interface thread like the copy itself.
std::optional<platform::CopiedIds> FolderCopy::copyFile(const HeldPair &pair, const QString &source,
                                                        const QString &folder, const QString &from,
                                                        const QString &to, const platform::FindData &data)
{
    // A small file costs less than the way to the worker and back.
    static constexpr quint64 kSmallFile = 1 << 20;
    if (!platform::beginStep(from))
        return std::nullopt;
    const bool listedRegular = data.hostRegular;
    return platform::runStep(
        [pair, source, folder, from, to, listedRegular]() -> std::optional<platform::CopiedIds> {
            if (!*pair)
                pair->emplace(source, folder);
            platform::CopiedIds ids;
            if (!(*pair)->copyFile(from, to, true, listedRegular, &ids))
                return std::nullopt;
            return ids;
        },
        data.size() < kSmallFile ? platform::Step::Short : platform::Step::Long);
}

} // namespace fileops
