#pragma once
#include "common/devicefixture.h"
#include "find/filesearch.h"
#include "platform/devicepath.h"
#include "platform/faultinjection.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

// A device root filled from a compact description, and the search's
// results read back in the order the walk must produce them.
namespace findtest {

// Each item: "\path" makes a file holding "content", "\path\" a folder,
// "\path=text" a file holding text, "\path->target" a symbolic link (target
// as written), "\path|" a FIFO. Files are written at the exact host bytes of
// their device path, so names holding bytes that are not UTF-8 arrive as
// they are.
inline bool build(const testsupport::TempDeviceRoot &root, const QStringList &items)
{
    for (const QString &item : items) {
        const qsizetype arrow = item.indexOf(QLatin1String("->")), equals = item.indexOf(u'=');
        const bool marked = item.endsWith(u'|') || item.endsWith(u'\\');
        const QString path = arrow > 0 ? item.left(arrow) : equals > 0 ? item.left(equals) : marked ? item.chopped(1) : item;
        const qsizetype slash = path.lastIndexOf(u'\\');
        if (slash > 0 && !root.makeFolder(path.left(slash)))
            return false;
        const QByteArray host = platform::hostPathFromDevice(path);
        bool ok = false;
        if (arrow > 0) {
            ok = QFile::link(item.mid(arrow + 2), root.host(path));
        } else if (marked) {
            ok = item.endsWith(u'|') ? ::mkfifo(host.constData(), 0644) == 0 : root.makeFolder(path);
        } else {
            const QByteArray content = equals > 0 ? item.mid(equals + 1).toUtf8() : QByteArray("content");
            ok = testsupport::writeHostFile(host, content);
        }
        if (!ok)
            return false;
    }
    return true;
}

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
