#pragma once
#include "platform/work/longwork.h"

#include <QString>

// The texts of the progress window.
namespace progresstext {

// "Copying", "Moving", "Deleting", "Creating", "Measuring", "Transferring".
QString kindText(platform::WorkKind kind);
// 999 bytes, 1.5 KB, 12.3 MB, 4.00 GB (units of 1024).
QString sizeText(qint64 bytes);
// "12 files, 3.4 MB" or, with the whole known, "12 of 340 files, 3.4 MB of 45 MB";
// deletes count files only.
QString countsText(const platform::WorkProgress &work, bool withBytes);
// "3.4 MB/s, about 12 s left" from what was done in elapsedMs, or the
// files' rate when no bytes move; empty while nothing can be said.
QString rateText(const platform::WorkProgress &work, qint64 elapsedMs, bool withBytes);
// The bar's position in thousandths; -1 while the whole is unknown.
int permille(const platform::WorkProgress &work, bool withBytes);

} // namespace progresstext
