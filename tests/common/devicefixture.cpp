#include "devicefixture.h"

#include "platform/fs/devicepath.h"
#include "platform/shell/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

TempDeviceRoot::TempDeviceRoot()
    : m_previousRoot(platform::deviceRoot())
{
    m_ok = m_dir.isValid() && platform::setDeviceRoot(m_dir.path());
}

TempDeviceRoot::~TempDeviceRoot()
{
    platform::setDeviceRoot(m_previousRoot);
}

QString TempDeviceRoot::host(const QString &devicePath) const
{
    return QFile::decodeName(platform::hostPathFromDevice(devicePath));
}

bool TempDeviceRoot::makeFolder(const QString &devicePath) const
{
    return QDir().mkpath(host(devicePath));
}

bool TempDeviceRoot::makeFile(const QString &devicePath, const QByteArray &content) const
{
    const QString path = host(devicePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

bool TempDeviceRoot::build(const QStringList &items) const
{
    for (const QString &item : items) {
        const qsizetype arrow = item.indexOf(QLatin1String("->")), equals = item.indexOf(u'=');
        const bool marked = item.endsWith(u'|') || item.endsWith(u'\\');
        const QString path = arrow > 0 ? item.left(arrow) : equals > 0 ? item.left(equals) : marked ? item.chopped(1) : item;
        const qsizetype slash = path.lastIndexOf(u'\\');
        if (slash > 0 && !makeFolder(path.left(slash)))
            return false;
        const QByteArray hostPath = platform::hostPathFromDevice(path);
        const bool ok = arrow > 0 ? QFile::link(item.mid(arrow + 2), host(path))
            : item.endsWith(u'|') ? ::mkfifo(hostPath.constData(), 0644) == 0
            : marked              ? makeFolder(path)
                                  : writeHostFile(hostPath, equals > 0 ? item.mid(equals + 1).toUtf8() : QByteArray("content"));
        if (!ok)
            return false;
    }
    return true;
}

bool TempDeviceRoot::exists(const QString &devicePath) const
{
    return QFileInfo::exists(host(devicePath)) || QFileInfo(host(devicePath)).isSymLink();
}

QByteArray TempDeviceRoot::read(const QString &devicePath) const
{
    QFile file(host(devicePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString outputFolder()
{
    QString dir = qEnvironmentVariable("FERRIX_TEST_OUTPUT");
    if (dir.isEmpty())
        dir = QDir::currentPath() + QStringLiteral("/test-output");
    QDir().mkpath(dir);
    return dir;
}

bool writeHostFile(const QByteArray &hostPath, const QByteArray &content, mode_t mode)
{
    const int fd = ::open(hostPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    const bool written = fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return fd >= 0 && ::close(fd) == 0 && written;
}

Launches::Launches()
{
    platform::setProcessLauncher([this](const QString &program, const QStringList &arguments) {
        return append(QStringList{program} + arguments), true;
    });
}

Launches::~Launches()
{
    platform::setProcessLauncher({});
}

PathChange::PathChange(const QString &folder, bool alone)
    : m_saved(qgetenv("PATH"))
{
    qputenv("PATH", alone ? QFile::encodeName(folder) : QFile::encodeName(folder) + ':' + m_saved);
}

PathChange::~PathChange()
{
    qputenv("PATH", m_saved);
}

} // namespace testsupport
