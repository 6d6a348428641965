#pragma once
// A temporary device root for a benchmark program, made once and filled
// with many files quickly (openat on one folder descriptor, no Qt per file).
#include "platform/fs/devicepath.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <initializer_list>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

class TempDevice {
public:
    TempDevice() { m_ok = m_dir.isValid() && platform::setDeviceRoot(m_dir.path()); }
    bool ok() const { return m_ok; }
    QByteArray host(const char *relative) const
    {
        return QFile::encodeName(m_dir.path()) + '/' + relative;
    }

    // Creates the host folder `relative` holding `count` empty files named
    // by the printf patterns in turn (each takes the file's number).
    bool makeFiles(const char *relative, int count, std::initializer_list<const char *> patterns) const
    {
        const QByteArray folderPath = host(relative);
        if (::mkdir(folderPath.constData(), 0755) != 0)
            return false;
        const int folder = ::open(folderPath.constData(), O_PATH | O_DIRECTORY);
        if (folder < 0)
            return false;
        const int kinds = int(patterns.size());
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, patterns.begin()[i % kinds], i);
            const int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0) {
                ::close(folder);
                return false;
            }
            ::close(fd);
        }
        ::close(folder);
        return true;
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

// A field of /proc/self/status in KiB (VmRSS, VmHWM), -1 when unreadable.
inline long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace bench
