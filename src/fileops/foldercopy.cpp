#include "foldercopy.h"

#include "fileops.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/work/longwork.h"

#include <QSet>

#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

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
    return target.startsWith(source) || platform::runStep([target = asFolder(target), source = asFolder(source)] {
        return platform::isSameOrInsideFolder(target, source);
    }, platform::Step::Short);
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
    // One step makes the folder, lists the source and tests its folders for
    // mounts: each trip to the worker and back costs more than a small folder.
    struct Level {
        std::optional<platform::EntryId> created;
        bool listed = false;
        bool gone = false; // nothing to list, and the source is gone too
        platform::LastError listingEnd;
        QList<platform::FindData> entries;
        platform::EntryId sourceId;
        QSet<QString> mounts;
        CopyResults firstRun; // the files before the first folder, copied in the same step
    };
    const bool identify = read != nullptr;
    const auto pair = std::make_shared<std::optional<platform::FolderCopyPair>>();
    Level level = platform::runStep(
        [folder, source, identify, pair] {
            Level out;
            platform::EntryId id;
            if (!platform::createDirectory(folder, &id))
                return out;
            out.created = id;
            out.listed = ListFolder(source + QStringLiteral("\\*.*"), out.entries, identify ? &out.sourceId : nullptr);
            out.listingEnd = platform::lastError();
            if (!out.listed && out.listingEnd.code == ENOENT)
                out.gone = !FileExists(source);
            for (const platform::FindData &data : std::as_const(out.entries)) {
                const QString path = source + u'\\' + data.name;
                if (platform::isWalkableFolder(data) && platform::isMountPoint(path))
                    out.mounts.insert(path);
            }
            bool big = false;
            if (out.listed && !out.entries.isEmpty() && !platform::isWalkableFolder(out.entries.first())) {
                const std::vector<FileToCopy> run = nextRun(out.entries, 0, source, folder, &big);
                if (!big)
                    out.firstRun = copyRun(pair, source, folder, run);
            }
            platform::setLastError(out.listingEnd.code, out.listingEnd.message);
            return out;
        },
        platform::Step::Short);
    if (!level.created) {
        m_host.CreateFolderFailed();
        return false;
    }
    if (made)
        made->folder = *level.created;
    if (read)
        read->folder = level.sourceId;
    m_host.FolderCreated();

    const QList<platform::FindData> &entries = level.entries;
    const QSet<QString> &mounts = level.mounts;
    if (!level.listed) {
        if (level.listingEnd.code == ENOENT)
            return !level.gone; // empty: complete; gone: a failure with nothing to say
        return failedListing(source);
    }
    const int listingEnd = level.listingEnd.code;

    bool copied = true;
    // Both folders are held open for the files between two subfolders: a
    // level held through the levels below would hold a descriptor per level.
    std::optional<CopyResults> firstRun;
    if (!level.firstRun.empty())
        firstRun = std::move(level.firstRun);
    for (qsizetype i = 0; i < entries.size();) {
        // A stop asked for ends every level, like a No.
        if (platform::stopRequested())
            m_bContinue = false;
        if (!m_bContinue)
            break;
        m_host.BetweenSteps();
        const platform::FindData &data = entries.at(i);
        const QString from = source + u'\\' + data.name;
        if (platform::isWalkableFolder(data)) {
            ++i;
            if (!mounts.contains(from)) {
                pair->reset();
                const QByteArray hostName = read || made ? platform::hostNameFromDevice(data.name) : QByteArray();
                const auto subRead = read ? read->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
                const auto subMade = made ? made->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
                copied = copyLevel(from, folder, subRead.get(), subMade.get()) && copied;
            } else {
                // A mount inside is not entered: it fails as a file that cannot be copied.
                copied = false;
                if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(from))
                    m_bContinue = false;
            }
            continue;
        }
        // The files up to the next folder go to the worker together: one
        // trip there and back costs more than a small file.
        bool big = false;
        std::vector<FileToCopy> run = nextRun(entries, i, source, folder, &big);
        const size_t wanted = run.size();
        const CopyResults results = firstRun ? std::move(*std::exchange(firstRun, std::nullopt))
                                             : copyFiles(pair, source, folder, std::move(run), big);
        for (size_t k = 0; k < results.size() && results[k]; ++k) {
            const platform::FindData &file = entries.at(i + qsizetype(k));
            const QByteArray hostName = read || made ? platform::hostNameFromDevice(file.name) : QByteArray();
            if (read)
                read->files.insert(hostName, results[k]->source);
            if (made)
                made->files.insert(hostName, results[k]->made);
            platform::noteFileDone();
        }
        // Ended by a failure (none at all: the step was given up), or by
        // the step's time being up.
        const bool failed = results.empty() || !results.back();
        const size_t done = results.empty() ? 0 : results.size() - (failed ? 1 : 0);
        if (failed) {
            copied = false;
            if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(source + u'\\' + entries.at(i + qsizetype(done)).name))
                m_bContinue = false;
            i += qsizetype(done) + 1;
        } else {
            i += qsizetype(qMin(done, wanted));
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
// user-interface thread like the copy itself. The step copies the files in
// order and ends at the first that fails (its result empty, the reason the
// last error) or once it has run a few milliseconds, so the window is
// painted and a Cancel is seen between files.
std::vector<FolderCopy::FileToCopy> FolderCopy::nextRun(const QList<platform::FindData> &entries, qsizetype i,
                                                        const QString &source, const QString &folder, bool *big)
{
    static constexpr quint64 kSmallFile = 1 << 20;
    static constexpr size_t kRunFiles = 64;
    std::vector<FileToCopy> run;
    *big = false;
    for (qsizetype j = i; j < entries.size() && run.size() < kRunFiles; ++j) {
        const platform::FindData &file = entries.at(j);
        if (platform::isWalkableFolder(file) || (!run.empty() && file.size() >= kSmallFile))
            break;
        run.push_back({source + u'\\' + file.name, folder + u'\\' + file.name, file.hostRegular});
        if ((*big = file.size() >= kSmallFile))
            break;
    }
    return run;
}

FolderCopy::CopyResults FolderCopy::copyRun(const HeldPair &pair, const QString &source, const QString &folder,
                                            const std::vector<FileToCopy> &files)
{
    static constexpr auto kRun = std::chrono::milliseconds(8);
    const auto until = std::chrono::steady_clock::now() + kRun;
    CopyResults results;
    results.reserve(files.size());
    for (const FileToCopy &file : files) {
        if (!results.empty() && std::chrono::steady_clock::now() >= until)
            break;
        if (!platform::beginStep(file.from)) {
            results.emplace_back();
            break;
        }
        if (!*pair)
            pair->emplace(source, folder);
        platform::CopiedIds ids;
        if (!(*pair)->copyFile(file.from, file.to, true, file.listedRegular, &ids)) {
            results.emplace_back();
            break;
        }
        results.emplace_back(ids);
    }
    return results;
}

FolderCopy::CopyResults FolderCopy::copyFiles(const HeldPair &pair, const QString &source, const QString &folder,
                                              std::vector<FileToCopy> files, bool big)
{
    return platform::runStep([pair, source, folder, files = std::move(files)] { return copyRun(pair, source, folder, files); },
                             big ? platform::Step::Long : platform::Step::Short);
}

} // namespace fileops
