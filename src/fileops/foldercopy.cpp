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
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace fileops {

namespace {
using Clock = std::chrono::steady_clock;
using HeldPair = std::shared_ptr<std::optional<platform::FolderCopyPair>>;
using CopyResults = std::vector<std::optional<platform::CopiedIds>>;

// How long one step of the copy runs before the window has its turn again.
constexpr auto kStepTime = std::chrono::milliseconds(8);
constexpr quint64 kSmallFile = 1 << 20;
constexpr size_t kRunFiles = 64;

struct DepthGuard {
    int &depth;
    ~DepthGuard() { --depth; }
};

QString asFolder(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("\\") : path;
}

bool isBig(const platform::FindData &file)
{
    return file.size() >= kSmallFile;
}

struct FileToCopy {
    QString from, to;
    bool listedRegular;
};

// The files from entries[i] on up to the next folder, at most a few dozen;
// a big file goes alone (big set).
std::vector<FileToCopy> nextRun(const QList<platform::FindData> &entries, qsizetype i, const QString &source,
                                const QString &folder, bool *big)
{
    std::vector<FileToCopy> run;
    *big = false;
    for (qsizetype j = i; j < entries.size() && run.size() < kRunFiles; ++j) {
        const platform::FindData &file = entries.at(j);
        if (platform::isWalkableFolder(file) || (!run.empty() && isBig(file)))
            break;
        run.push_back({source + u'\\' + file.name, folder + u'\\' + file.name, file.hostRegular});
        if ((*big = isBig(file)))
            break;
    }
    return run;
}

// The files of a run at odd places, written up to their names by a thread
// of their own while the step copies those at even places: on a machine
// with a processor to spare, two files are copied at once. The step names
// every file itself, in order, so the folder, the progress and a failure
// (which drops whatever was written past it, unnamed) are as with one.
class OddFiles {
public:
    // Null when the thread is busy still (a call stuck on a hung mount may
    // hold it for good): the run then goes without it.
    static std::unique_ptr<OddFiles> start(const platform::FolderCopyPair &pair, const std::vector<FileToCopy> &files)
    {
        static const bool spare = std::thread::hardware_concurrency() > 1;
        if (!spare || files.size() < 4)
            return nullptr;
        auto shared = std::make_shared<Shared>(pair, files);
        if (!Lane::get().offer(shared))
            return nullptr;
        return std::unique_ptr<OddFiles>(new OddFiles(std::move(shared)));
    }
    // The pair is used until the thread is done with the run: waited for here.
    ~OddFiles()
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->stop = true;
        m_shared->changed.wait(lock, [this] { return m_shared->ended; });
        m_shared->written.clear();
    }
    // Whether the file at place k is being written, or is.
    bool started(size_t k) const
    {
        std::lock_guard lock(m_shared->mutex);
        return m_shared->state[k] != State::Waiting;
    }
    // The file at place k once written; empty when it never will be.
    platform::PreparedCopy take(size_t k)
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->changed.wait(lock, [&] { return m_shared->state[k] == State::Written || m_shared->ended; });
        return std::move(m_shared->written[k]);
    }
    // No file not yet begun is written.
    void stop()
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
    }

private:
    enum class State : char { Waiting, Writing, Written };
    struct Shared {
        Shared(const platform::FolderCopyPair &p, const std::vector<FileToCopy> &f)
            : pair(p), files(f), written(files.size()), state(files.size())
        {
        }
        void write()
        {
            for (size_t k = 1; k < files.size(); k += 2) {
                {
                    std::lock_guard lock(mutex);
                    if (stop)
                        break;
                    state[k] = State::Writing;
                }
                // Only what the listing found regular is opened ahead:
                // opening a FIFO would release a program waiting to write to it.
                platform::PreparedCopy copy;
                if (files[k].listedRegular)
                    copy = pair.prepareFile(files[k].from, files[k].to);
                {
                    std::lock_guard lock(mutex);
                    written[k] = std::move(copy);
                    state[k] = State::Written;
                }
                changed.notify_all();
            }
        }
        void end()
        {
            {
                std::lock_guard lock(mutex);
                ended = true;
            }
            changed.notify_all();
        }
        const platform::FolderCopyPair &pair;
        const std::vector<FileToCopy> files;
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<platform::PreparedCopy> written; // by place in the run
        std::vector<State> state;
        bool stop = false;
        bool ended = false;
    };
    // The thread, one run at a time. Made at the first run and never ended,
    // nor destroyed: it may wait in a stuck call when the program ends.
    class Lane {
    public:
        static Lane &get()
        {
            static Lane *lane = new Lane;
            return *lane;
        }
        bool offer(const std::shared_ptr<Shared> &run)
        {
            std::lock_guard lock(m_mutex);
            if (m_run)
                return false;
            if (!m_started) {
                try {
                    std::thread([this] { loop(); }).detach();
                } catch (const std::system_error &) {
                    return false; // no thread to be had: one is enough
                }
                m_started = true;
            }
            m_run = run;
            m_wake.notify_one();
            return true;
        }

    private:
        void loop()
        {
            for (;;) {
                std::shared_ptr<Shared> run;
                {
                    std::unique_lock lock(m_mutex);
                    m_wake.wait(lock, [this] { return m_run != nullptr; });
                    run = m_run;
                }
                run->write();
                {
                    // Free before the run is told it ended, so the next run finds it free.
                    std::lock_guard lock(m_mutex);
                    m_run.reset();
                }
                run->end();
            }
        }
        std::mutex m_mutex;
        std::condition_variable m_wake;
        std::shared_ptr<Shared> m_run;
        bool m_started = false;
    };

    explicit OddFiles(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}
    std::shared_ptr<Shared> m_shared;
};

// Copies the files in order, ending at the first that fails (its result
// empty, the reason the last error) or once the step's time is up, so the
// window is painted and a Cancel is seen between files. The pair of
// folders is opened by the first file, off the user-interface thread like
// the copy itself. ids: whether the copy is recorded.
CopyResults copyRun(const HeldPair &pair, const QString &source, const QString &folder,
                    const std::vector<FileToCopy> &files, bool ids, Clock::time_point until)
{
    CopyResults results;
    results.reserve(files.size());
    std::unique_ptr<OddFiles> odd;
    for (size_t k = 0; k < files.size(); ++k) {
        const FileToCopy &file = files[k];
        // Past its time the step still names what the other thread has
        // begun to write, so that is not written in vain.
        if (!results.empty() && Clock::now() >= until) {
            const size_t next = k % 2 ? k : k + 1;
            if (!odd || next >= files.size() || !odd->started(next))
                break;
            odd->stop();
        }
        if (!platform::beginStep(file.from)) {
            results.emplace_back();
            break;
        }
        if (!*pair)
            pair->emplace(source, folder);
        if (k == 0)
            odd = OddFiles::start(**pair, files);
        platform::PreparedCopy written;
        if (odd && k % 2)
            written = odd->take(k);
        platform::CopiedIds copied;
        if (!(*pair)->copyFile(file.from, file.to, true, file.listedRegular, ids ? &copied : nullptr, &written)) {
            results.emplace_back();
            break;
        }
        results.emplace_back(copied);
    }
    return results;
}

// A folder of the copy as its step leaves it: made, its source listed,
// its folders tested for mounts, and the files before its first folder
// copied.
struct Level {
    std::optional<platform::EntryId> created;
    bool listed = false;
    bool gone = false; // nothing to list, and the source is gone too
    platform::LastError listingEnd;
    QList<platform::FindData> entries;
    platform::EntryId sourceId;
    QSet<QString> mounts;
    CopyResults firstRun;
    size_t firstRunWanted = 0;
};

Level readLevel(const QString &source, const QString &folder, bool identify, const HeldPair &pair,
                Clock::time_point until)
{
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
        out.firstRunWanted = run.size();
        if (!big)
            out.firstRun = copyRun(pair, source, folder, run, identify, until);
    }
    platform::setLastError(out.listingEnd.code, out.listingEnd.message);
    return out;
}

// Whether a run's results end with a file copied (not a failure, and not
// a step given up).
bool allCopied(const CopyResults &results)
{
    return !results.empty() && results.back();
}
} // namespace

// Where a level of the copy stands.
struct FolderCopy::Frame {
    QString source, folder; // the source folder and its copy
    QList<platform::FindData> entries;
    QSet<QString> mounts;
    int listingEnd = 0;
    qsizetype next = 0; // the entry the level goes on with
    // Held open for the files between two subfolders: a level held through
    // the levels below would hold a descriptor per level.
    HeldPair pair = std::make_shared<std::optional<platform::FolderCopyPair>>();
};

// What one request of a level got: its Level (index -1), or the results of
// the run of files from entry index on, of which wanted were asked for.
struct FolderCopy::Done {
    QString folder;
    qsizetype index = -1;
    Level level;
    CopyResults run;
    size_t wanted = 0;
};

struct FolderCopy::Ahead {
    std::deque<Done> done;
};

namespace {
using Frame = FolderCopy::Frame;
using Done = FolderCopy::Done;

// The level of frame, made and read; the frame then goes on below it,
// unless the level has something to say first.
bool openLevel(std::vector<Frame> &stack, std::vector<Done> &done, Frame frame, bool identify, Clock::time_point until)
{
    Level level = readLevel(frame.source, frame.folder, identify, frame.pair, until);
    const bool goOn = level.created && level.listed
        && (level.entries.isEmpty() || platform::isWalkableFolder(level.entries.first()) || allCopied(level.firstRun));
    if (goOn) {
        frame.entries = level.entries;
        frame.mounts = level.mounts;
        frame.listingEnd = level.listingEnd.code;
        frame.next = qsizetype(qMin(level.firstRun.size(), level.firstRunWanted));
    }
    done.push_back({frame.folder, -1, std::move(level), {}, 0});
    if (goOn)
        stack.push_back(std::move(frame));
    return goOn;
}

// The next run of files of frame; false when the walk stops after it.
bool runFiles(Frame &frame, std::vector<Done> &done, bool identify, Clock::time_point until)
{
    bool big = false;
    const std::vector<FileToCopy> run = nextRun(frame.entries, frame.next, frame.source, frame.folder, &big);
    CopyResults results = copyRun(frame.pair, frame.source, frame.folder, run, identify, until);
    const bool copied = allCopied(results);
    const qsizetype at = frame.next;
    frame.next += qsizetype(qMin(results.size(), run.size()));
    done.push_back({frame.folder, at, {}, std::move(results), run.size()});
    return copied;
}

// Does what the copy asks next (the level of a new frame, or the next run
// of files of the innermost one), then goes on ahead of it, in the order
// the copy will ask, as long as each request succeeds without anything to
// ask or say, no stop is asked for and the step's time lasts. stack: the
// levels being copied, as they stand. A big file goes in a step of its own.
std::vector<Done> walkAhead(std::vector<Frame> stack, std::optional<Frame> newLevel, bool identify)
{
    const Clock::time_point until = Clock::now() + kStepTime;
    std::vector<Done> done;
    if (newLevel ? !openLevel(stack, done, std::move(*newLevel), identify, until)
                 : !runFiles(stack.back(), done, identify, until))
        return done;
    while (!stack.empty() && Clock::now() < until && !platform::stopRequested()) {
        Frame &frame = stack.back();
        if (frame.next >= frame.entries.size()) {
            if (frame.listingEnd != ENOENT)
                break; // the listing broke off: the level ends with a question
            stack.pop_back();
            continue;
        }
        const platform::FindData &data = frame.entries.at(frame.next);
        if (!platform::isWalkableFolder(data)) {
            if (isBig(data) || !runFiles(frame, done, identify, until))
                break;
            continue;
        }
        const QString from = frame.source + u'\\' + data.name;
        // A mount is asked about, a copy into its source refused.
        if (frame.mounts.contains(from) || frame.folder.startsWith(from))
            break;
        ++frame.next;
        frame.pair->reset();
        Frame child;
        child.source = from;
        child.folder = frame.folder + u'\\' + LastComponent(from);
        if (!openLevel(stack, done, std::move(child), identify, until))
            break;
    }
    return done;
}
} // namespace

FolderCopy::FolderCopy(FolderCopyHost &host) : m_host(host), m_ahead(std::make_unique<Ahead>()) {}

FolderCopy::~FolderCopy() = default;

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

bool FolderCopy::doneAhead(const QString &folder, qsizetype index) const
{
    const std::deque<Done> &ahead = m_ahead->done;
    return !ahead.empty() && ahead.front().folder == folder && ahead.front().index == index;
}

// Each trip to the worker and back costs more than a small folder, so a
// step does not stop at what was asked: it goes on down the tree ahead of
// the copy, and the copy here takes the results in its own order, with its
// own questions, records and refreshes between them.
FolderCopy::Done FolderCopy::take(const Frame &frame, qsizetype index, bool identify)
{
    std::deque<Done> &ahead = m_ahead->done;
    const auto front = [&] { return doneAhead(frame.folder, index); };
    if (!front()) {
        ahead.clear();
        std::vector<Frame> stack;
        for (const Frame *level : m_frames)
            stack.push_back(*level);
        std::optional<Frame> newLevel;
        if (index < 0)
            newLevel = frame;
        const bool big = index >= 0 && isBig(frame.entries.at(index));
        std::vector<Done> done = platform::runStep(
            [stack = std::move(stack), newLevel = std::move(newLevel), identify] { return walkAhead(stack, newLevel, identify); },
            big ? platform::Step::Long : platform::Step::Short);
        ahead.assign(std::make_move_iterator(done.begin()), std::make_move_iterator(done.end()));
        if (!front()) { // the step was given up
            ahead.clear();
            return {frame.folder, index, {}, {}, 0};
        }
    }
    Done done = std::move(ahead.front());
    ahead.pop_front();
    return done;
}

bool FolderCopy::copyLevel(const QString &sourcePath, const QString &targetPath, CopyRecord *read, CopyRecord *made)
{
    const QString source = WithoutFinalBackslash(sourcePath);
    const QString target = WithoutFinalBackslash(targetPath);
    if (++m_nDepth == 1) {
        m_bContinue = true;
        m_ahead->done.clear();
    }
    const DepthGuard leave{m_nDepth};

    if (refusedIntoSource(source, target)) {
        m_host.CopyIntoSourceRefused();
        return false;
    }
    Frame frame;
    frame.source = source;
    frame.folder = target + u'\\' + LastComponent(source);
    const bool identify = read != nullptr;
    Level level = take(frame, -1, identify).level;
    if (!level.created) {
        m_host.CreateFolderFailed();
        return false;
    }
    if (made)
        made->folder = *level.created;
    if (read)
        read->folder = level.sourceId;
    m_host.FolderCreated();

    if (!level.listed) {
        if (level.listingEnd.code == ENOENT)
            return !level.gone; // empty: complete; gone: a failure with nothing to say
        return failedListing(source);
    }
    frame.entries = std::move(level.entries);
    frame.mounts = std::move(level.mounts);
    frame.listingEnd = level.listingEnd.code;
    m_frames.push_back(&frame);
    struct Pop {
        std::vector<Frame *> &frames;
        ~Pop() { frames.pop_back(); }
    } pop{m_frames};

    const QList<platform::FindData> &entries = frame.entries;
    bool copied = true;
    std::optional<CopyResults> firstRun;
    if (!level.firstRun.empty())
        firstRun = std::move(level.firstRun);
    qsizetype &i = frame.next;
    while (i < entries.size()) {
        const platform::FindData &data = entries.at(i);
        const QString from = frame.source + u'\\' + data.name;
        // A stop asked for ends every level, like a No; what the worker did
        // ahead before it saw the stop is still taken, so it is counted and
        // recorded (a cancelled move takes back what it made, and only that).
        if (platform::stopRequested()) {
            m_bContinue = false;
            const bool folder = platform::isWalkableFolder(data);
            if (!firstRun && !doneAhead(folder ? frame.folder + u'\\' + LastComponent(from) : frame.folder, folder ? -1 : i))
                break;
        } else if (!m_bContinue) {
            break;
        }
        m_host.BetweenSteps();
        if (platform::isWalkableFolder(data)) {
            ++i;
            if (!frame.mounts.contains(from)) {
                frame.pair->reset();
                const QByteArray hostName = read || made ? platform::hostNameFromDevice(data.name) : QByteArray();
                const auto subRead = read ? read->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
                const auto subMade = made ? made->folders.emplace(hostName, std::make_shared<CopyRecord>()).value() : nullptr;
                copied = copyLevel(from, frame.folder, subRead.get(), subMade.get()) && copied;
            } else {
                // A mount inside is not entered: it fails as a file that cannot be copied.
                copied = false;
                if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(from))
                    m_bContinue = false;
            }
            continue;
        }
        // The files up to the next folder are copied together.
        Done run;
        if (firstRun) {
            run.run = std::move(*std::exchange(firstRun, std::nullopt));
            run.wanted = level.firstRunWanted;
        } else {
            run = take(frame, i, identify);
        }
        const CopyResults &results = run.run;
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
        const bool failed = !allCopied(results);
        const size_t done = results.empty() ? 0 : results.size() - (failed ? 1 : 0);
        if (failed) {
            copied = false;
            if (platform::stopRequested() || !m_host.ContinueAfterFailedCopy(frame.source + u'\\' + entries.at(i + qsizetype(done)).name))
                m_bContinue = false;
            i += qsizetype(done) + 1;
        } else {
            i += qsizetype(qMin(done, run.wanted));
        }
    }
    // A stopped copy is not complete.
    if (platform::stopRequested())
        return false;
    if (m_bContinue && frame.listingEnd != ENOENT)
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

} // namespace fileops
