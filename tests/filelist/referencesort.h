#pragma once
#include "filelist/entrysort.h"

#include <utility>
#include <vector>

// The plain exchange sort, n(n-1)/2 comparisons, whose order (equal keys
// included) the fast sorts must give exactly; also the benchmarks' yardstick.
namespace referencesort {

enum class Column { Name, Size, Changed, Attrs, Type };

// Negative, 0 or positive; a null entry is smaller than any other.
inline int compare(Column column, FileEntry *a, FileEntry *b)
{
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    const auto numbers = [](quint64 x, quint64 y) { return x < y ? -1 : (x > y ? 1 : 0); };
    switch (column) {
    case Column::Name: return CompareNoCase(a->GetName(), b->GetName());
    case Column::Size: return numbers(a->GetFindData().size(), b->GetFindData().size());
    case Column::Changed: return numbers(a->GetLastWriteTime(), b->GetLastWriteTime());
    case Column::Attrs: return CompareNoCase(QStringView(a->GetAttrLetters()), QStringView(b->GetAttrLetters()));
    case Column::Type: return CompareNoCase(TypeSortKey(a->GetName()), TypeSortKey(b->GetName()));
    }
    return 0;
}

inline void exchangeSort(std::vector<FileEntry *> &rows, Column column, bool ascending)
{
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        for (size_t j = i + 1; j < rows.size(); ++j) {
            const int order = compare(column, rows[i], rows[j]);
            if (ascending ? order > 0 : order < 0)
                std::swap(rows[i], rows[j]);
        }
    }
}

} // namespace referencesort
