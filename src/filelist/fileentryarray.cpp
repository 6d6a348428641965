#include "fileentryarray.h"

int CFileEntryArray::Add(FileEntry *entry)
{
    m_entries.push_back(entry);
    return int(m_entries.size()) - 1;
}

void CFileEntryArray::DeleteAllEntries()
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        delete *it;
    m_entries.clear();
}
