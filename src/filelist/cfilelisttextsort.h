#pragma once
#include <QString>
#include <QtGlobal>

// The result list has its texts only, so it sorts by comparing the texts
// shown in a column, reading sizes and dates back from their text form.
namespace textsort {

// Column codes share bits (24 holds 8 and 16, 48 holds 16); a sort state is
// a code plus 1 (ascending) or 2 (descending).
constexpr quint32 kAscending = 1;
constexpr quint32 kDescending = 2;

// 4 "Name", 8 "Size", 16 "Changed", 24 "Attrs", 48 "Type"; 0 for anything else.
quint32 ColumnCode(const QString &heading);

// The state after a click on the column with this code: descending when the
// last sort was ascending by a column sharing a bit with it, else ascending.
quint32 NextSortState(quint32 state, quint32 code);

// Negative when a belongs before b in the given state (a code plus direction).
int CompareTexts(const QString &a, const QString &b, quint32 state);

// The single comparisons, ascending.
int CompareText(const QString &a, const QString &b);     // letter case folded to lower
int CompareSizeText(const QString &a, const QString &b); // "512 b" < "1.0Kb" < "1.0Mb"
// "dd-mm-yyyy hh:mm:ss": earlier first; texts that are no date compare
// equal to each other and after every date.
int CompareDateText(const QString &a, const QString &b);

// The number a size text starts with (blanks, sign, digits, fraction,
// exponent), 0 when it starts with none.
double LeadingNumber(const QString &text);

} // namespace textsort
