#include "folderwatch.h"

#include "devicepath.h"
#include "entryinfo.h"
#include "findfile.h"
#include "hostfs.h"
#include "subfolderprobe.h"
#include "tempsibling.h"
#include "platform/attributes/fatattrib.h"
#include "platform/attributes/fileattributes.h"

#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

using namespace detail;

qint64 folderWatchNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool fileSystemTellsChanges(int folderFd)
{
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case V9FS_MAGIC:
    case CEPH_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case AFS_FS_MAGIC:
    case CODA_SUPER_MAGIC:
    case NCP_SUPER_MAGIC:
    case 0x7461636fUL: // OCFS2
    case 0x01161970UL: // GFS2
    case 0x0BD00BD0UL: // Lustre
    case 0x19830326UL: // OrangeFS
    case 0x47504653UL: // GPFS
        return false;
    default:
        return !isPseudoFileSystemFd(folderFd);
    }
}

namespace {

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_MODIFY
    | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

struct Watched {
    Fd dir;
    struct statx stat {};
    bool fat = false;
    int wd = -1;
};

// What waits for the owner, per folder: the newest look at each name.
struct Ready {
    bool complete = false;
    qint64 readAtNs = 0;
    QHash<QString, WatchedEntry> entries;
};

QString searchPattern(const QString &folder)
{
    QString pattern = folder;
    if (pattern.endsWith(QLatin1Char('\\')))
        pattern.chop(1);
    return pattern + QStringLiteral("\\*");
}

bool isFolder(const FindData &data)
{
    return (data.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A child folder's device path ending with a backslash, as hasSubfolder takes it.
QString childFolder(const QString &folder, const QString &name)
{
    return folder + (folder.endsWith(QLatin1Char('\\')) ? QString() : QStringLiteral("\\")) + name
        + QLatin1Char('\\');
}

} // namespace

// Shared by the watch object and its thread.
struct FolderWatch::Shared {
    QPointer<FolderWatch> owner;
    mutable std::mutex mutex;
    QStringList wanted;
    bool wantedChanged = false;
    std::atomic<bool> stop {false};
    std::set<QString> live;
    std::map<QString, Ready> ready;
    bool signalled = false;
    Fd inotify;
    Fd wake;
    std::thread thread;

    // Thread side only.
    std::map<QString, Watched> watched;
    std::map<QString, std::set<QByteArray>> dirty;
    std::set<QString> relist;
    qint64 nextFlushNs = 0;

    void run();
    void syncWatches();
    void readEvents();
    void flush();
    void forget(const QString &folder);
    void tell(void (FolderWatch::*signal)());
};

void FolderWatch::Shared::tell(void (FolderWatch::*signal)())
{
    // Under the lock the owner's destructor takes first: the event is
    // posted before the owner goes, and its going removes it.
    std::lock_guard lock(mutex);
    if (stop)
        return;
    QPointer<FolderWatch> target = owner;
    QMetaObject::invokeMethod(owner.data(), [target, signal] {
        if (target)
            Q_EMIT(target->*signal)();
    }, Qt::QueuedConnection);
}

void FolderWatch::Shared::forget(const QString &folder)
{
    const auto it = watched.find(folder);
    if (it == watched.end())
        return;
    const int wd = it->second.wd;
    watched.erase(it);
    // Two paths may lead to one folder and share its watch.
    const bool shared = std::any_of(watched.begin(), watched.end(), [&](const auto &w) { return w.second.wd == wd; });
    if (!shared)
        ::inotify_rm_watch(inotify.get(), wd);
    dirty.erase(folder);
    relist.erase(folder);
}

void FolderWatch::Shared::syncWatches()
{
    QStringList folders;
    {
        std::lock_guard lock(mutex);
        if (!wantedChanged)
            return;
        wantedChanged = false;
        folders = wanted;
    }
    const std::set<QString> keep(folders.begin(), folders.end());
    for (auto it = watched.begin(); it != watched.end();) {
        const QString folder = (it++)->first;
        if (!keep.count(folder))
            forget(folder);
    }
    for (const QString &folder : keep) {
        if (watched.count(folder))
            continue;
        Watched w;
        // O_PATH: holding the folder is no open that watchers of it see.
        if (openFolder(folder, O_PATH, w.dir) != 0 || !fileSystemTellsChanges(w.dir.get())
            || ::statx(w.dir.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS, &w.stat) != 0)
            continue;
        w.fat = isFatFileSystem(w.dir.get());
        // The folder we hold open, whatever link led to it.
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(w.dir.get());
        w.wd = ::inotify_add_watch(inotify.get(), path.constData(), kEvents);
        if (w.wd < 0)
            continue; // out of watches, or gone: not live
        watched.emplace(folder, std::move(w));
    }
    {
        std::lock_guard lock(mutex);
        live.clear();
        for (const auto &w : watched)
            live.insert(w.first);
    }
    tell(&FolderWatch::foldersSet);
}

void FolderWatch::Shared::readEvents()
{
    alignas(struct inotify_event) char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(inotify.get(), buffer, sizeof buffer);
        if (got <= 0)
            return;
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(buffer + at);
            at += ssize_t(sizeof(struct inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                for (const auto &w : watched)
                    relist.insert(w.first);
                continue;
            }
            std::vector<QString> folders;
            for (const auto &w : watched)
                if (w.second.wd == event->wd)
                    folders.push_back(w.first);
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
                // The folder went (or moved away): read what its path holds
                // now, and watch that, if anything, from scratch.
                for (const QString &folder : folders) {
                    forget(folder);
                    relist.insert(folder);
                }
                std::lock_guard lock(mutex);
                wantedChanged = true;
                continue;
            }
            if (event->len == 0 || event->name[0] == '\0')
                continue;
            const QByteArray name(event->name);
            if (isDotOrDotDot(event->name) || isTempSiblingName(event->name))
                continue;
            for (const QString &folder : folders)
                dirty[folder].insert(name);
        }
    }
}

void FolderWatch::Shared::flush()
{
    std::map<QString, Ready> found;
    for (const QString &folder : relist) {
        Ready &r = found[folder];
        r.complete = true;
        r.readAtNs = folderWatchNowNs();
        FindFile find;
        WatchedEntry entry;
        entry.present = true;
        entry.readAtNs = r.readAtNs;
        if (find.first(searchPattern(folder), entry.data)) {
            do {
                if (stop)
                    return;
                entry.name = entry.data.name;
                entry.hasSubfolder = isFolder(entry.data) && hasSubfolder(childFolder(folder, entry.name));
                r.entries.insert(entry.name, entry);
            } while (find.next(entry.data));
        }
        dirty.erase(folder);
    }
    relist.clear();
    for (const auto &[folder, names] : dirty) {
        const auto w = watched.find(folder);
        if (w == watched.end())
            continue;
        Ready &r = found[folder];
        FolderFacts facts;
        facts.stat = &w->second.stat;
        facts.fat = w->second.fat;
        for (const QByteArray &host : names) {
            if (stop)
                return;
            WatchedEntry entry;
            entry.name = deviceNameFromHost(host);
            entry.readAtNs = folderWatchNowNs();
            EntryFacts entryFacts;
            if (readEntry(w->second.dir.get(), host.constData(), facts, false, entryFacts) == 0) {
                entry.present = true;
                fillFindData(entryFacts, attributesOf(entryFacts, isDotName(host.constData())), entry.data);
                entry.data.name = entry.name;
                entry.hasSubfolder = isFolder(entry.data) && hasSubfolder(childFolder(folder, entry.name));
            }
            r.entries.insert(entry.name, std::move(entry));
        }
    }
    dirty.clear();
    if (found.empty())
        return;
    bool signal = false;
    {
        std::lock_guard lock(mutex);
        for (auto &[folder, r] : found) {
            Ready &into = ready[folder];
            if (r.complete) {
                into = std::move(r);
                continue;
            }
            for (auto it = r.entries.begin(); it != r.entries.end(); ++it)
                into.entries.insert(it.key(), std::move(it.value()));
        }
        signal = !signalled;
        signalled = true;
    }
    if (signal)
        tell(&FolderWatch::changesReady);
}

void FolderWatch::Shared::run()
{
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (stop)
                return;
        }
        syncWatches();
        const bool pending = !dirty.empty() || !relist.empty();
        int timeoutMs = -1;
        if (pending)
            timeoutMs = int(std::max<qint64>(0, (nextFlushNs - folderWatchNowNs() + 999999) / 1000000));
        struct pollfd fds[2] = {{inotify.get(), POLLIN, 0}, {wake.get(), POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t r = ::read(wake.get(), &count, sizeof count);
        }
        if (fds[0].revents & POLLIN)
            readEvents();
        // The first change after a quiet spell goes out at once; the ones
        // that follow wait for the pace, so bursts are told a few times a
        // second.
        const qint64 now = folderWatchNowNs();
        if ((!dirty.empty() || !relist.empty()) && now >= nextFlushNs) {
            flush();
            nextFlushNs = folderWatchNowNs() + qint64(kPaceMs) * 1000000;
        }
    }
}

FolderWatch::FolderWatch(QObject *parent)
    : QObject(parent)
    , d(std::make_shared<Shared>())
{
    d->owner = this;
    d->inotify.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    d->wake.reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!d->inotify.isValid() || !d->wake.isValid())
        return; // nothing will be live
    d->thread = std::thread([shared = d] { shared->run(); });
}

FolderWatch::~FolderWatch()
{
    {
        std::lock_guard lock(d->mutex);
        d->stop = true;
    }
    if (d->wake.isValid()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t r = ::write(d->wake.get(), &one, sizeof one);
    }
    // The thread stops between two names it looks at, so this waits for
    // one call at most.
    if (d->thread.joinable())
        d->thread.join();
}

void FolderWatch::setFolders(const QStringList &folders)
{
    {
        std::lock_guard lock(d->mutex);
        if (folders == d->wanted && !d->wantedChanged)
            return;
        d->wanted = folders;
        d->wantedChanged = true;
        for (auto it = d->ready.begin(); it != d->ready.end();)
            it = folders.contains(it->first) ? std::next(it) : d->ready.erase(it);
    }
    if (d->wake.isValid()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t r = ::write(d->wake.get(), &one, sizeof one);
    }
}

std::vector<FolderChanges> FolderWatch::takeChanges()
{
    std::map<QString, Ready> ready;
    {
        std::lock_guard lock(d->mutex);
        ready.swap(d->ready);
        d->signalled = false;
    }
    std::vector<FolderChanges> out;
    out.reserve(ready.size());
    for (auto &[folder, r] : ready) {
        FolderChanges changes;
        changes.folder = folder;
        changes.complete = r.complete;
        changes.readAtNs = r.readAtNs;
        changes.entries.reserve(size_t(r.entries.size()));
        for (auto it = r.entries.begin(); it != r.entries.end(); ++it)
            changes.entries.push_back(std::move(it.value()));
        out.push_back(std::move(changes));
    }
    return out;
}

bool FolderWatch::isLive(const QString &folder) const
{
    std::lock_guard lock(d->mutex);
    return d->live.count(folder) != 0;
}

} // namespace platform
