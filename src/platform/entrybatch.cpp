#include "entrybatch.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>

#include <fcntl.h>

namespace platform::detail {

namespace {

constexpr int kMostHelpers = 2;
constexpr size_t kEntriesPerHelper = 128; // fewer are not worth a thread

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

// The listing's own thread mostly decodes names, so even two cores are
// worth two helpers.
int helpersFor(size_t entries)
{
    static const int cores = QThread::idealThreadCount();
    const size_t wanted = entries / kEntriesPerHelper;
    return int(std::min<size_t>({wanted, size_t(kMostHelpers), size_t(std::max(cores, 0))}));
}

} // namespace

// Helpers take entries from the end while the listing takes them from the
// front; where they meet, each stops.
void EntryBatch::Shared::helpFromTheEnd()
{
    FolderFacts own = folder;
    for (size_t i = slots.size(); i-- > 0 && !abandoned.load(std::memory_order_relaxed);) {
        Slot &slot = slots[i];
        int expected = 0;
        if (!slot.state.compare_exchange_strong(expected, 1, std::memory_order_relaxed)) {
            if (expected == 3)
                break; // the listing's: so is everything below
            continue;  // another helper's
        }
        slot.error = readEntry(dir.get(), names.constData() + slot.entry.at, own, false, slot.facts);
        slot.state.store(2, std::memory_order_release);
    }
    if (!own.readXattrs)
        noXattrs.store(true, std::memory_order_relaxed);
}

EntryBatch::EntryBatch(int dirFd, const FolderFacts &folder, QByteArray names, std::vector<Entry> entries)
    : m_shared(std::make_shared<Shared>()), m_dirFd(dirFd)
{
    m_shared->dir.reset(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
    m_shared->folder = folder;
    if (folder.stat) {
        m_shared->folderStat = *folder.stat;
        m_shared->folder.stat = &m_shared->folderStat;
    }
    m_own = m_shared->folder;
    m_shared->names = std::move(names);

    m_shared->slots = std::vector<Slot>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        m_shared->slots[i].entry = std::move(entries[i]);
    for (int i = m_shared->dir.isValid() ? helpersFor(m_shared->slots.size()) : 0; i > 0; --i)
        helperPool().start([shared = m_shared] { shared->helpFromTheEnd(); });
}

EntryBatch::~EntryBatch()
{
    m_shared->abandoned.store(true, std::memory_order_relaxed);
}

int EntryBatch::facts(size_t i, const EntryFacts *&out)
{
    Slot &slot = m_shared->slots[i];
    int state = 0;
    if (slot.state.compare_exchange_strong(state, 3, std::memory_order_acquire)) {
        slot.error = readEntry(m_dirFd, hostName(i), m_own, false, slot.facts);
        out = &slot.facts;
        return slot.error;
    }
    if (state == 2) {
        out = &slot.facts;
        return slot.error;
    }
    // A helper is reading it right now: reading it again is quicker than waiting.
    out = &m_scratch;
    return readEntry(m_dirFd, hostName(i), m_own, false, m_scratch);
}

} // namespace platform::detail
