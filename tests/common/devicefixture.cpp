#include "devicefixture.h"

#include "platform/devicepath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace testsupport
