#pragma once
#include "fileentryarray.h"

// The five sorts of the pane's entries. Each leaves the array in exactly the
// order of the program's original exchange sort (for i < j: swap when the
// entry at i is greater, ascending, or less, descending), equal keys
// included, but in O(n log n).
void SortByName(CFileEntryArray &entries, bool ascending);    // case-insensitive name
void SortBySize(CFileEntryArray &entries, bool ascending);    // 64-bit size
void SortByChanged(CFileEntryArray &entries, bool ascending); // last-write time
void SortByAttrs(CFileEntryArray &entries, bool ascending);   // attribute letters, case-insensitive
void SortByType(CFileEntryArray &entries, bool ascending);    // extension from the last dot, or " "
