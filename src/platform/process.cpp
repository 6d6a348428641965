#include "shell.h"

#include "devicepath.h"
#include "lasterror.h"
#include "processlaunch.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <unistd.h>

namespace platform {

namespace {

QMutex launcherMutex;
ProcessLauncher launcher;

ProcessLauncher currentLauncher()
{
    QMutexLocker lock(&launcherMutex);
    return launcher;
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString hostPathText(const QString &devicePath)
{
    const QByteArray host = hostPathFromDevice(devicePath);
    return host.isEmpty() ? QString() : QFile::decodeName(host);
}

} // namespace

QStringList splitArguments(const QString &arguments)
{
    QStringList result;
    QString current;
    bool inQuotes = false;
    bool started = false; // "" is an empty argument of its own
    for (const QChar c : arguments) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            started = true;
        } else if (isBlank(c) && !inQuotes) {
            if (started)
                result.append(current);
            current.clear();
            started = false;
        } else {
            current.append(c);
            started = true;
        }
    }
    if (started)
        result.append(current);
    return result;
}

QString findProgramOnPath(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

QString hostProgramFor(const QString &program)
{
    if (program.isEmpty()) {
        failWith(ENOENT, QStringLiteral("No program given"));
        return {};
    }
    if (program.startsWith(u'\\')) {
        const QString host = hostPathText(program);
        if (host.isEmpty())
            failWith(EINVAL, QStringLiteral("Invalid program path %1").arg(program));
        return host;
    }
    if (program.contains(u'/'))
        return program;
    const QString found = findProgramOnPath(program);
    if (found.isEmpty())
        failWith(ENOENT, QStringLiteral("%1 was not found on PATH").arg(program));
    return found;
}

QStringList hostArgumentsFor(const QStringList &arguments)
{
    QStringList hostArguments;
    hostArguments.reserve(arguments.size());
    for (const QString &argument : arguments) {
        const QString host = argument.startsWith(u'\\') ? hostPathText(argument) : QString();
        hostArguments.append(host.isEmpty() ? argument : host);
    }
    return hostArguments;
}

bool launchDetached(const QString &hostProgram, const QStringList &hostArguments)
{
    if (const ProcessLauncher test = currentLauncher()) {
        if (!test(hostProgram, hostArguments))
            return failWith(ENOEXEC, QStringLiteral("Cannot start %1").arg(hostProgram));
        clearLastError();
        return true;
    }
    // Say why before trying: QProcess only reports that it failed.
    const QByteArray encoded = QFile::encodeName(hostProgram);
    if (::access(encoded.constData(), X_OK) != 0) {
        return failWithErrno(errno, QStringLiteral("Cannot start %1").arg(hostProgram));
    }
    QProcess process;
    process.setProgram(hostProgram);
    process.setArguments(hostArguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return failWith(ENOEXEC, QStringLiteral("Cannot start %1: %2").arg(hostProgram, process.errorString()));
    clearLastError();
    return true;
}

bool createProcess(const QString &program, const QString &arguments)
{
    const QString hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    return launchDetached(hostProgram, hostArgumentsFor(splitArguments(arguments)));
}

bool runProcessAndWait(const QString &program, const QString &arguments, int *exitCode)
{
    const QString hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    const QStringList hostArguments = hostArgumentsFor(splitArguments(arguments));
    if (const ProcessLauncher test = currentLauncher()) {
        if (!test(hostProgram, hostArguments))
            return failWith(ENOEXEC, QStringLiteral("Cannot start %1").arg(hostProgram));
        if (exitCode)
            *exitCode = 0;
        clearLastError();
        return true;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(hostProgram, hostArguments);
    if (!process.waitForStarted(-1))
        return failWith(ENOEXEC, QStringLiteral("Cannot start %1: %2").arg(hostProgram, process.errorString()));
    process.waitForFinished(-1);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    clearLastError();
    return true;
}

void setProcessLauncher(ProcessLauncher newLauncher)
{
    QMutexLocker lock(&launcherMutex);
    launcher = std::move(newLauncher);
}

} // namespace platform
