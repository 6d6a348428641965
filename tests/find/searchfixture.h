#pragma once
#include "common/devicefixture.h"
#include "find/filesearch.h"
#include "platform/testing/faultinjection.h"

#include <QStringList>

#include <algorithm>

// The search's results read back in the order the walk must produce them.
namespace findtest {

// The walk order can be checked only up to the order in which one folder
// lists its own files: those runs are sorted, the runs keep their order.
inline QStringList walkOrder(const QStringList &paths)
{
    QStringList out;
    qsizetype runStart = 0;
    auto folderOf = [](const QString &path) { return path.left(path.lastIndexOf(u'\\')); };
    for (qsizetype i = 0; i <= paths.size(); ++i) {
        if (i == paths.size() || folderOf(paths.at(i)) != folderOf(paths.at(runStart))) {
            QStringList run = paths.mid(runStart, i - runStart);
            std::sort(run.begin(), run.end());
            out += run;
            runStart = i;
        }
    }
    return out;
}

} // namespace findtest
