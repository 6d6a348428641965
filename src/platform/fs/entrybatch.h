#pragma once
#include "entryinfo.h"
#include "platform/attributes/listedattribs.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// The entries of one folder read ahead of a listing on a few helper threads,
// so that a first listing does not wait for one stored-attribute read after
// another. Helpers and the listing take chunks of entries in the folder's
// order, so the entries the listing wants next are the ones read first; the
// listing reads a chunk itself when it gets there before any helper, and
// reads further chunks rather than sit idle while a helper finishes one.
namespace platform::detail {

class EntryBatch {
public:
    struct Entry {
        qsizetype at = 0; // where the host name starts in the batch's names, NUL-terminated
        qsizetype size = 0;
        QString name;     // device name when decoding it was needed to pick the entry
    };

    // The batch keeps a descriptor and the facts of the folder of its own:
    // helpers may still be finishing an entry after it is gone. listed: what
    // the folder's last listing kept, the batch's first entry at position first.
    EntryBatch(int dirFd, const FolderFacts &folder, QByteArray names, std::vector<Entry> entries,
               std::shared_ptr<const ListedAttribs> listed = nullptr, size_t first = 0);
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
    };
    struct Shared {
        Fd dir;
        struct statx folderStat {};
        FolderFacts folder;
        QByteArray names; // never changed once helpers run
        std::vector<Slot> slots;
        std::shared_ptr<const ListedAttribs> listed;
        size_t first = 0; // the listing position of slot 0
        size_t chunks = 0;
        std::unique_ptr<std::atomic<int>[]> chunkRead; // 1 once every entry of the chunk is read
        std::atomic<size_t> nextChunk {0};              // the first chunk nobody has taken
        std::atomic<bool> abandoned {false};
        std::atomic<bool> noXattrs {false};

        bool take(size_t &chunk);
        void read(int dirFd, size_t chunk, FolderFacts &folderFacts);
        void help();
    };
    void waitForChunk(size_t chunk);

    std::shared_ptr<Shared> m_shared;
    int m_dirFd; // the listing's own, open while the batch is in use
    FolderFacts m_own;
    size_t m_readyChunk = size_t(-1); // the chunk the listing knows is read
};

} // namespace platform::detail
