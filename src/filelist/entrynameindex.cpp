#include "entrynameindex.h"

#include <QHash>

FileEntry *const EntryNameIndex::kGone = reinterpret_cast<FileEntry *>(alignof(FileEntry));

void EntryNameIndex::resize(size_t count)
{
    size_t size = 16;
    while (size < count * 2)
        size *= 2;
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(size, Slot());
    m_used = 0;
    m_count = 0;
    for (const Slot &slot : old)
        if (slot.entry && slot.entry != kGone)
            insert(slot.entry);
}

void EntryNameIndex::rebuild(const std::vector<FileEntry *> &entries)
{
    m_slots.clear();
    resize(entries.size());
    for (FileEntry *entry : entries)
        if (entry)
            insert(entry);
}

size_t EntryNameIndex::slotOf(const QString &name, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (!slot.entry || (slot.entry != kGone && slot.hash == hash && slot.entry->GetName() == name))
            return at;
    }
}

FileEntry *EntryNameIndex::find(const QString &name) const
{
    if (m_slots.empty())
        return nullptr;
    return m_slots[slotOf(name, qHash(name))].entry;
}

void EntryNameIndex::insert(FileEntry *entry)
{
    if (m_slots.empty() || (m_used + 1) * 4 > m_slots.size() * 3)
        resize(m_count + 1);
    const size_t hash = qHash(entry->GetName());
    const size_t mask = m_slots.size() - 1;
    size_t at = hash & mask;
    while (m_slots[at].entry && m_slots[at].entry != kGone)
        at = (at + 1) & mask;
    if (!m_slots[at].entry)
        ++m_used;
    ++m_count;
    m_slots[at] = {entry, hash};
}

void EntryNameIndex::remove(const FileEntry *entry)
{
    if (m_slots.empty())
        return;
    const size_t at = slotOf(entry->GetName(), qHash(entry->GetName()));
    if (m_slots[at].entry == entry) {
        m_slots[at].entry = kGone;
        --m_count;
    }
}
