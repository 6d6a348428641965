#pragma once
#include "fileentry.h"

#include <vector>

// The pane's entries; owns them. A null pointer stands for an entry that
// could not be allocated.
class CFileEntryArray {
public:
    CFileEntryArray() = default;
    ~CFileEntryArray() { DeleteAllEntries(); }
    CFileEntryArray(const CFileEntryArray &) = delete;
    CFileEntryArray &operator=(const CFileEntryArray &) = delete;

    int GetSize() const { return int(m_entries.size()); }
    FileEntry *GetAt(int index) const { return m_entries[size_t(index)]; }
    int Add(FileEntry *entry);
    // Destroys the entries from the last to the first and empties the array.
    void DeleteAllEntries();

    std::vector<FileEntry *> &Entries() { return m_entries; }
    const std::vector<FileEntry *> &Entries() const { return m_entries; }

private:
    std::vector<FileEntry *> m_entries;
};
