#pragma once
#include "common/devicefixture.h"
#include "find/filesearch.h"
#include "platform/devicepath.h"
#include "platform/faultinjection.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A device root filled from a compact description, and the search's
// results read back in the order the walk must produce them.
namespace findtest {

// A file written at the exact host bytes of its device path, so names
// holding bytes that are not UTF-8 arrive as they are.
inline bool writeFile(const testsupport::TempDeviceRoot &root, const QString &path, const QByteArray &content)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash > 0 && !root.makeFolder(path.left(slash)))
        return false;
    const int fd = ::open(platform::hostPathFromDevice(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

// Each item: "\path" makes a file holding "content", "\path\" a folder,
// "\path=text" a file holding text, "\path->target" a symbolic link (target
// as written, relative or host-absolute), "\path|" a FIFO.
inline bool build(const testsupport::TempDeviceRoot &root, const QStringList &items)
{
    for (const QString &item : items) {
        const qsizetype arrow = item.indexOf(QLatin1String("->"));
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        bool ok = false;
        if (arrow > 0) {
            const QString link = item.left(arrow);
            const qsizetype slash = link.lastIndexOf(QLatin1Char('\\'));
            ok = (slash <= 0 || root.makeFolder(link.left(slash)))
                && QFile::link(item.mid(arrow + 2), root.host(link));
        } else if (item.endsWith(QLatin1Char('|'))) {
            const QString fifo = item.chopped(1);
            const qsizetype slash = fifo.lastIndexOf(QLatin1Char('\\'));
            ok = (slash <= 0 || root.makeFolder(fifo.left(slash)))
                && ::mkfifo(QFile::encodeName(root.host(fifo)).constData(), 0644) == 0;
        } else if (item.endsWith(QLatin1Char('\\'))) {
            ok = root.makeFolder(item.chopped(1));
        } else if (equals > 0) {
            ok = writeFile(root, item.left(equals), item.mid(equals + 1).toUtf8());
        } else {
            ok = writeFile(root, item, "content");
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
    auto folderOf = [](const QString &path) { return path.left(path.lastIndexOf(QLatin1Char('\\'))); };
    for (qsizetype i = 0; i <= paths.size(); ++i) {
        if (i == paths.size() || (i > runStart && folderOf(paths.at(i)) != folderOf(paths.at(runStart)))) {
            QStringList run = paths.mid(runStart, i - runStart);
            std::sort(run.begin(), run.end());
            out += run;
            runStart = i;
        }
    }
    return out;
}

// Collects what a search reports.
class Collector : public SearchResults {
public:
    bool AddResult(const QString &path) override
    {
        found.append(path);
        return true;
    }
    QStringList found;
};

} // namespace findtest
