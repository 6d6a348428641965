#pragma once
#include <QString>

// Total size in bytes of every file below folder, at every depth. A folder
// that cannot be read counts as 0 bytes. Symbolic links count nothing and
// are never followed, and the kernel's pseudo file systems are not entered.
double FolderSize(const QString &folder);
