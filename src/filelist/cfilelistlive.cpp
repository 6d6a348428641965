// The pane following the disk: changes other programs made, applied to the
// entries without listing the folder again.
#include "cfilelistviewex.h"

#include "cfilelistmodel.h"
#include "cfilelisttextsort.h"
#include "entrysort.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/folderwatch.h"
#include "platform/work/longwork.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {

// Up to this many runs of rows that come or go are told one by one; beyond,
// as one layout change, so a burst costs one pass over the rows.
constexpr int kRunsToldOneByOne = 32;
// From this many rows on, the name index is made as soon as the folder is shown.
constexpr int kIndexAheadFrom = 5000;

template<typename T>
int compareValues(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The pane's sort order, ascending, as its sorts compare (a null entry is
// the smallest).
int compareBy(int key, const FileEntry *a, const FileEntry *b)
{
    if (!a || !b)
        return compareValues(a != nullptr, b != nullptr);
    switch (quint32(key)) {
    case textsort::kName:
        return CompareNoCase(a->GetName(), b->GetName());
    case textsort::kSize:
        return compareValues(a->GetFindData().size(), b->GetFindData().size());
    case textsort::kChanged:
        return compareValues(a->GetLastWriteTime(), b->GetLastWriteTime());
    case textsort::kAttrs:
        return CompareNoCase(a->GetAttrText(), b->GetAttrText());
    case textsort::kType:
        return CompareNoCase(TypeSortKey(a->GetName()), TypeSortKey(b->GetName()));
    default:
        return 0;
    }
}

// Whether two looks at an entry show the same row (the access time is not shown).
bool sameRow(const platform::FindData &a, const platform::FindData &b)
{
    return a.attributes == b.attributes && a.creationTime == b.creationTime && a.lastWriteTime == b.lastWriteTime
        && a.sizeHigh == b.sizeHigh && a.sizeLow == b.sizeLow && a.objectId == b.objectId && a.name == b.name
        && a.hostRegular == b.hostRegular;
}

bool isRow(const platform::WatchedEntry &entry)
{
    return entry.present && !(entry.data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

QString CFileListViewEx::WatchedFolder() const
{
    return m_strFolder.isEmpty() ? QStringLiteral("\\") : m_strFolder;
}

void CFileListViewEx::PrepareLiveChanges()
{
    if (m_nIndexedListing != m_nListings && m_entries.GetSize() >= kIndexAheadFrom && !platform::currentWork()) {
        m_nameIndex.rebuild(m_entries.Entries());
        m_nIndexedListing = m_nListings;
    }
}

void CFileListViewEx::ApplyLiveChanges(const platform::FolderChanges &changes)
{
    if (changes.folder != WatchedFolder())
        return;
    std::vector<FileEntry *> &rows = m_entries.Entries();
    const int n = int(rows.size());
    // Rows by name, made once per listing and kept up to date, so a change
    // costs no look at every name.
    if (m_nIndexedListing != m_nListings) {
        m_nameIndex.rebuild(rows);
        m_nIndexedListing = m_nListings;
    }

    // What goes, what changes in place, what comes.
    QSet<const FileEntry *> goes;
    QHash<const FileEntry *, FileEntry *> replaced;
    std::vector<FileEntry *> added;
    if (changes.complete) {
        QSet<QString> present;
        present.reserve(qsizetype(changes.entries.size()));
        for (const platform::WatchedEntry &entry : changes.entries)
            present.insert(entry.name);
        for (const FileEntry *entry : rows)
            if (entry && !present.contains(entry->GetName()))
                goes.insert(entry);
    }
    for (const platform::WatchedEntry &now : changes.entries) {
        FileEntry *old = m_nameIndex.find(now.name);
        if (!old) {
            if (isRow(now))
                added.push_back(new FileEntry(now.data));
            continue;
        }
        if (!isRow(now)) {
            goes.insert(old);
            continue;
        }
        if (sameRow(old->GetFindData(), now.data))
            continue;
        auto *fresh = new FileEntry(now.data);
        if (m_nSortKey != 0 && compareBy(m_nSortKey, old, fresh) != 0) {
            goes.insert(old); // it moves to its new place
            added.push_back(fresh);
        } else {
            replaced.insert(old, fresh);
        }
    }
    if (goes.isEmpty() && replaced.isEmpty() && added.empty())
        return;

    std::vector<char> gone(size_t(n), 0);
    int goneCount = 0;
    if (!goes.isEmpty() || !replaced.isEmpty()) {
        for (int i = 0; i < n; ++i) {
            FileEntry *entry = rows[size_t(i)];
            if (goes.contains(entry)) {
                gone[size_t(i)] = 1;
                ++goneCount;
                m_nameIndex.remove(entry);
            } else if (FileEntry *fresh = replaced.value(entry, nullptr)) {
                rows[size_t(i)] = fresh;
                m_nameIndex.remove(entry);
                m_nameIndex.insert(fresh);
                delete entry;
                m_pModel->RowsChanged(i, i);
            }
        }
    }
    for (FileEntry *entry : added)
        m_nameIndex.insert(entry);
    if (added.empty() && goneCount == 0)
        return;

    // The row at the top of the view stays there, unless the view is at
    // the very top, where what comes first is to be seen.
    QScrollBar *bar = verticalScrollBar();
    const int topRow = bar->value() > 0 ? rowAt(0) : -1;
    const bool perPixel = verticalScrollMode() == QAbstractItemView::ScrollPerPixel;
    const int intoTop = topRow >= 0 && perPixel ? bar->value() - verticalHeader()->sectionPosition(topRow) : 0;

    // One pass merges the sorted newcomers into the sorted rows; with no
    // sort they come last, as the folder was read.
    const int key = m_nSortKey;
    const bool ascending = m_bSortAscending;
    const auto before = [key, ascending](const FileEntry *a, const FileEntry *b) {
        const int c = compareBy(key, a, b);
        return ascending ? c < 0 : c > 0;
    };
    if (key != 0)
        std::stable_sort(added.begin(), added.end(), before);
    // Each newcomer goes after the last row it does not sort before, found
    // by halving; the rows between are copied without comparing them.
    std::vector<int> at(added.size(), n);
    if (key != 0)
        for (size_t j = 0; j < added.size(); ++j)
            at[j] = int(std::upper_bound(rows.begin(), rows.end(), added[j], before) - rows.begin());
    std::vector<FileEntry *> merged;
    merged.reserve(size_t(n - goneCount) + added.size());
    std::vector<char> isNew;
    isNew.reserve(merged.capacity());
    std::vector<int> newRowOfOld(size_t(n), -1);
    size_t next = 0;
    int runs = 0;
    const auto addUpTo = [&](int row) {
        if (next < added.size() && at[next] <= row) {
            ++runs;
            for (; next < added.size() && at[next] <= row; ++next) {
                merged.push_back(added[next]);
                isNew.push_back(1);
            }
        }
    };
    for (int i = 0; i < n; ++i) {
        addUpTo(i);
        if (gone[size_t(i)]) {
            runs += (i == 0 || !gone[size_t(i) - 1]) ? 1 : 0;
            continue;
        }
        newRowOfOld[size_t(i)] = int(merged.size());
        merged.push_back(rows[size_t(i)]);
        isNew.push_back(0);
    }
    addUpTo(n);

    if (runs <= kRunsToldOneByOne) {
        for (int i = n - 1; i >= 0;) {
            if (!gone[size_t(i)]) {
                --i;
                continue;
            }
            const int last = i;
            while (i >= 0 && gone[size_t(i)])
                --i;
            const int first = i + 1;
            m_pModel->BeginRemove(first, last);
            std::for_each(rows.begin() + first, rows.begin() + last + 1, [](FileEntry *e) { delete e; });
            rows.erase(rows.begin() + first, rows.begin() + last + 1);
            m_pModel->EndRemove();
        }
        for (size_t r = 0; r < merged.size();) {
            if (!isNew[r]) {
                ++r;
                continue;
            }
            const size_t first = r;
            while (r < merged.size() && isNew[r])
                ++r;
            m_pModel->BeginInsert(int(first), int(r) - 1);
            rows.insert(rows.begin() + qsizetype(first), merged.begin() + qsizetype(first),
                        merged.begin() + qsizetype(r));
            m_pModel->EndInsert();
        }
    } else {
        std::vector<FileEntry *> goneEntries;
        goneEntries.reserve(size_t(goneCount));
        for (int i = 0; i < n; ++i)
            if (gone[size_t(i)])
                goneEntries.push_back(rows[size_t(i)]);
        m_pModel->BeginRelayout();
        rows.swap(merged);
        m_pModel->EndRelayout(int(rows.size()), newRowOfOld);
        qDeleteAll(goneEntries);
    }

    if (topRow >= 0 && newRowOfOld[size_t(topRow)] >= 0) {
        updateGeometries();
        const int newTop = newRowOfOld[size_t(topRow)];
        bar->setValue(perPixel ? verticalHeader()->sectionPosition(newTop) + intoTop : newTop);
    }
}
