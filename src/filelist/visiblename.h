#pragma once
#include <QString>

// A file name as it is drawn, so that it cannot pass for another name: the
// stored backslash (U+F05C) becomes a backslash-like sign, control
// characters their visible pictures, and characters that reorder or hide
// text (bidirectional overrides and isolates, zero-width spaces) and bytes
// that were not UTF-8 a replacement mark. Only for drawing: opening,
// renaming and copying use the name itself.
QString visibleName(const QString &name);
