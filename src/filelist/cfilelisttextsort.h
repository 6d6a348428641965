#pragma once
#include <QString>
#include <QtGlobal>

#include <vector>

// The sort codes of the columns, which both lists use, and the result list's
// sort: that list has its texts only, so it compares the texts shown in a
// column, reading sizes and dates back from their text form.
namespace textsort {

// Column codes share bits (24 holds 8 and 16, 48 holds 16); a sort state is
// a code plus 1 (ascending) or 2 (descending).
constexpr quint32 kName = 4, kSize = 8, kChanged = 16, kAttrs = 24, kType = 48;
constexpr quint32 kAscending = 1;
constexpr quint32 kDescending = 2;

// The code of the column with this heading; 0 for anything else.
quint32 ColumnCode(const QString &heading);

// The state after a click on the column with this code: descending when the
// last sort was ascending by a column sharing a bit with it, else ascending.
quint32 NextSortState(quint32 state, quint32 code);

// Negative when a belongs before b in the given state (a code plus
// direction). Names compare with letter case folded to lower; sizes as
// "512 b" < "1.0Kb" < "1.0Mb"; dates ("dd-mm-yyyy hh:mm:ss") earlier first,
// with texts that are no date equal to each other and after every date;
// Attrs and Type compare their texts the other way round.
int CompareTexts(const QString &a, const QString &b, quint32 state);

// The positions of texts in the order of the given state, stable (equal
// texts keep their order). Each text is read once: names folded, sizes and
// dates parsed before the sort, not per comparison.
std::vector<int> SortOrder(const std::vector<QString> &texts, quint32 state);

} // namespace textsort
