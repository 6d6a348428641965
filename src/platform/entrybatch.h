#pragma once
#include "entryinfo.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// The entries of one folder read ahead of a listing on a few helper threads,
// so that a first listing does not wait for one stored-attribute read after
// another. The listing itself never waits for a helper: an entry a helper
// has not finished yet it simply reads again.
namespace platform::detail {

class EntryBatch {
public:
    struct Entry {
        qsizetype at = 0; // where the host name starts in the batch's names, NUL-terminated
        qsizetype size = 0;
        QString name;     // device name when decoding it was needed to pick the entry
    };

    // The batch keeps a descriptor and the facts of the folder of its own:
    // helpers may still be finishing an entry after it is gone.
    EntryBatch(int dirFd, const FolderFacts &folder, QByteArray names, std::vector<Entry> entries);
    ~EntryBatch();
    EntryBatch(const EntryBatch &) = delete;
    EntryBatch &operator=(const EntryBatch &) = delete;

    size_t size() const { return m_shared->slots.size(); }
    Entry &entry(size_t i) { return m_shared->slots[i].entry; }
    const char *hostName(size_t i) const { return m_shared->names.constData() + m_shared->slots[i].entry.at; }
    // The facts of entry i, read by a helper or now; readEntry()'s answer.
    // Entries are asked for in order.
    int facts(size_t i, const EntryFacts *&out);
    // Whether any read found that the file system keeps no stored attributes.
    bool foundNoXattrs() const { return m_shared->noXattrs.load(std::memory_order_relaxed) || !m_own.readXattrs; }

private:
    struct Slot {
        Entry entry;
        EntryFacts facts;
        int error = 0;
        std::atomic<int> state {0}; // 0 free, 1 a helper's, 2 read by it, 3 the listing's
    };
    struct Shared {
        Fd dir;
        struct statx folderStat {};
        FolderFacts folder;
        QByteArray names; // never changed once helpers run
        std::vector<Slot> slots;
        std::atomic<bool> abandoned {false};
        std::atomic<bool> noXattrs {false};
        void helpFromTheEnd();
    };

    std::shared_ptr<Shared> m_shared;
    int m_dirFd; // the listing's own, open while the batch is in use
    FolderFacts m_own;
    EntryFacts m_scratch;
};

} // namespace platform::detail
