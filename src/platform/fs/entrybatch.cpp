#include "entrybatch.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>

#include <fcntl.h>

namespace platform::detail {

namespace {

// More helpers than cores still pay: while one waits for the disk on a cold
// folder another's lookup goes on, and another program's busy core costs a
// listing with more threads less of its speed.
constexpr int kMostHelpers = 3;
constexpr size_t kEntriesPerHelper = 128; // fewer are not worth a thread
constexpr size_t kChunk = 32;             // entries taken at once

QThreadPool &helperPool()
{
    // Never destroyed: a helper may still be finishing when the program ends.
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(kMostHelpers);
        return p;
    }();
    return *pool;
}

int helpersFor(size_t entries)
{
    static const int cores = QThread::idealThreadCount();
    const size_t wanted = entries / kEntriesPerHelper;
    return int(std::min<size_t>({wanted, size_t(kMostHelpers), size_t(std::max(cores, 1)) + 1}));
}

} // namespace

bool EntryBatch::Shared::take(size_t &chunk)
{
    if (nextChunk.load(std::memory_order_relaxed) >= chunks)
        return false;
    chunk = nextChunk.fetch_add(1, std::memory_order_relaxed);
    return chunk < chunks;
}

void EntryBatch::Shared::read(int dirFd, size_t chunk, FolderFacts &folderFacts)
{
    const size_t end = std::min(slots.size(), (chunk + 1) * kChunk);
    for (size_t i = chunk * kChunk; i < end; ++i) {
        Slot &slot = slots[i];
        folderFacts.at = first + i;
        slot.error = readEntry(dirFd, names.constData() + slot.entry.at, folderFacts, false, slot.facts);
    }
    chunkRead[chunk].store(1, std::memory_order_release);
    chunkRead[chunk].notify_one();
}

void EntryBatch::Shared::help()
{
    // A descriptor of the helper's own: threads that share one open folder
    // make every lookup in it bounce the folder's reference count between cores.
    Fd ownDir(::openat(dir.get(), ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    const int dirFd = ownDir.isValid() ? ownDir.get() : dir.get();
    FolderFacts own = folder;
    for (size_t chunk; !abandoned.load(std::memory_order_relaxed) && take(chunk);)
        read(dirFd, chunk, own);
    if (!own.readXattrs)
        noXattrs.store(true, std::memory_order_relaxed);
}

EntryBatch::EntryBatch(int dirFd, const FolderFacts &folder, QByteArray names, std::vector<Entry> entries,
                       std::shared_ptr<const ListedAttribs> listed, size_t first)
    : m_shared(std::make_shared<Shared>()), m_dirFd(dirFd)
{
    Shared &s = *m_shared;
    const int helpers = helpersFor(entries.size());
    if (helpers > 0) // a folder of a few entries is read by the listing alone
        s.dir.reset(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
    s.folder = folder;
    s.listed = std::move(listed);
    s.folder.listed = s.listed.get();
    s.first = first;
    if (folder.stat) {
        s.folderStat = *folder.stat;
        s.folder.stat = &s.folderStat;
    }
    m_own = s.folder;
    s.names = std::move(names);
    s.slots = std::vector<Slot>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        s.slots[i].entry = std::move(entries[i]);
    s.chunks = (s.slots.size() + kChunk - 1) / kChunk;
    s.chunkRead = std::make_unique<std::atomic<int>[]>(s.chunks);
    for (int i = s.dir.isValid() ? helpers : 0; i > 0; --i)
        helperPool().start([shared = m_shared] { shared->help(); });
}

EntryBatch::~EntryBatch()
{
    m_shared->abandoned.store(true, std::memory_order_relaxed);
}

// Reads chunks nobody has taken until `chunk` is read: the chunk itself
// when the listing gets there first, later ones while a helper has it.
void EntryBatch::waitForChunk(size_t chunk)
{
    Shared &s = *m_shared;
    for (;;) {
        if (s.chunkRead[chunk].load(std::memory_order_acquire))
            return;
        size_t first = s.nextChunk.load(std::memory_order_relaxed);
        if (first <= chunk) {
            // Every chunk before this one was handed out, so this is the first free one.
            if (s.nextChunk.compare_exchange_weak(first, first + 1, std::memory_order_relaxed))
                s.read(m_dirFd, first, m_own);
            continue;
        }
        size_t later;
        if (s.take(later)) {
            s.read(m_dirFd, later, m_own);
            continue;
        }
        s.chunkRead[chunk].wait(0, std::memory_order_acquire);
    }
}

int EntryBatch::facts(size_t i, const EntryFacts *&out)
{
    const size_t chunk = i / kChunk;
    if (chunk != m_readyChunk) {
        waitForChunk(chunk);
        m_readyChunk = chunk;
    }
    Slot &slot = m_shared->slots[i];
    out = &slot.facts;
    return slot.error;
}

} // namespace platform::detail
