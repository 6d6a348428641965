#pragma once
#include "fileentryarray.h"

#include <QString>
#include <QStringView>

// The five sorts of the pane's entries. Each leaves the array in exactly the
// order of the program's original exchange sort (for i < j: swap when the
// entry at i is greater, ascending, or less, descending), equal keys
// included, but in O(n log n). A null entry counts as smaller than any
// other, so it comes first ascending and last descending.
void SortByName(CFileEntryArray &entries, bool ascending);    // case-insensitive name
void SortBySize(CFileEntryArray &entries, bool ascending);    // 64-bit size
void SortByChanged(CFileEntryArray &entries, bool ascending); // last-write time
void SortByAttrs(CFileEntryArray &entries, bool ascending);   // attribute letters, case-insensitive
void SortByType(CFileEntryArray &entries, bool ascending);    // extension from the last dot, or " "

// The case-insensitive comparison of the Name, Type and Attrs sorts: each
// UTF-16 unit folded to lower case on its own, then compared by value, so "_"
// comes before the letters. Negative, 0 or positive.
int CompareNoCase(QStringView a, QStringView b);
// The text as CompareNoCase sees it: comparing two folded texts unit by unit
// gives the same order, without folding again per comparison.
QString FoldNoCase(QStringView text);

// What the Type sort compares: the name from its last "." to the end, dot
// included, or a single space for a name without one.
QString TypeSortKey(const QString &name);
