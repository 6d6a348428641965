#pragma once
// What every platform test includes, and helpers they share.
#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/attributes/fileattributes.h"
#include "platform/base/lasterror.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platformtest {

using testsupport::fetchRow;

// Names a search yields, sorted.
inline QStringList findAll(const QString &pattern)
{
    QStringList names;
    platform::FindFile find;
    platform::FindData data;
    for (bool more = find.first(pattern, data); more; more = find.next(data))
        names.append(data.name);
    names.sort();
    return names;
}

// Names in a host folder, dot files included: for spotting left-over temporary files.
inline QStringList hostEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The entry a listing of its folder reports for path (name empty when none).
inline platform::FindData listedEntry(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    platform::FindFile find;
    platform::FindData data;
    bool more = find.first(path.left(slash) + QStringLiteral("\\*"), data);
    while (more && data.name != path.mid(slash + 1))
        more = find.next(data);
    return more ? data : platform::FindData();
}

// Permission bits of a device path's host file, ~0 when there is none.
inline uint hostMode(const testsupport::TempDeviceRoot &root, const QString &devicePath)
{
    struct stat st;
    return ::lstat(QFile::encodeName(root.host(devicePath)).constData(), &st) == 0 ? uint(st.st_mode & 07777) : ~0u;
}

// A file system mounted on a host folder for the object's lifetime (no
// type: a bind mount of the folder source).
class Mount {
public:
    Mount(const QString &source, const QString &hostFolder, const char *type, const QStringList &options = {})
        : m_folder(QFile::encodeName(hostFolder))
    {
        if (!QDir().mkpath(hostFolder) || ::geteuid() != 0)
            return;
        QProcess mount;
        const QStringList typed = type ? QStringList {QStringLiteral("-t"), QLatin1String(type)} : QStringList();
        mount.start(QStringLiteral("mount"), options + typed + QStringList {source, hostFolder});
        m_ok = mount.waitForFinished() && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    }
    ~Mount()
    {
        if (m_ok)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }

private:
    QByteArray m_folder;
    bool m_ok = false;
};

} // namespace platformtest
