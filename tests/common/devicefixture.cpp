#include "devicefixture.h"

#include "platform/devicepath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
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
