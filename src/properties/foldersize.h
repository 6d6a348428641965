#pragma once
#include <QString>

// Total size in bytes of every file below folder, at every depth. A folder
// that cannot be read counts as 0 bytes. Symbolic links count nothing and
// are never followed; a mount inside the folder is not entered, and a folder
// on one of the kernel's pseudo file systems counts nothing. Inside long
// work the walk runs off the user-interface thread and a stop asked for
// ends it with what was counted so far.
double FolderSize(const QString &folder);
