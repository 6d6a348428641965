#pragma once
#include "fileentry.h"

#include <vector>

// The pane's entries by exact name, for changes that name their files: one
// flat table of pointers and hashes (open addressing), so that making it
// for a folder of 100,000 files allocates once, not once per file.
class EntryNameIndex {
public:
    void rebuild(const std::vector<FileEntry *> &entries);
    FileEntry *find(const QString &name) const;
    void insert(FileEntry *entry); // its name is not in the index yet
    void remove(const FileEntry *entry);

private:
    struct Slot {
        FileEntry *entry = nullptr; // null: never used; kGone: used, now free
        size_t hash = 0;
    };
    static FileEntry *const kGone;
    size_t slotOf(const QString &name, size_t hash) const; // its slot, or an unused one
    void resize(size_t count);

    std::vector<Slot> m_slots; // a power of two
    size_t m_used = 0;         // slots ever filled since the last resize
    size_t m_count = 0;        // entries in it
};
