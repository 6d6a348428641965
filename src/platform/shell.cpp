#include "shell.h"

#include "devicepath.h"
#include "lasterror.h"
#include "processlaunch.h"
#include "registry.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace platform {

namespace {

QString readDefaultValue(const QString &subKey, bool *found)
{
    RegKey key = 0;
    QString value;
    *found = regOpenKey(RegRoot::ClassesRoot, subKey, &key) == ERROR_SUCCESS;
    if (*found) {
        regQueryValue(key, QString(), &value, nullptr);
        regCloseKey(key);
    }
    return value;
}

// The open command registered for a file name's extension, through the
// extension's own command key or its class.
QString registeredOpenCommand(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || dot == name.size() - 1)
        return {};
    const QString extKey = name.mid(dot);
    bool found = false;
    QString command = readDefaultValue(extKey + QStringLiteral("\\Shell\\Open\\Command"), &found);
    if (found && !command.isEmpty())
        return command;
    const QString className = readDefaultValue(extKey, &found);
    if (!found || className.isEmpty())
        return {};
    return readDefaultValue(className + QStringLiteral("\\Shell\\Open\\Command"), &found);
}

// Splits a command line into its program (quoted or up to the first blank)
// and the rest.
bool splitCommand(const QString &command, QString *program, QString *rest)
{
    const QString line = command.trimmed();
    qsizetype end;
    if (line.startsWith(u'"')) {
        end = line.indexOf(u'"', 1);
        if (end < 0)
            return false;
        *program = line.mid(1, end - 1);
        ++end;
    } else {
        end = line.indexOf(u' ');
        if (end < 0)
            end = line.size();
        *program = line.left(end);
    }
    *rest = line.mid(end).trimmed();
    return !program->isEmpty();
}

bool openWithCommand(const QString &command, const QString &hostPath, const QString &parameters)
{
    QString line = command;
    line.replace(QLatin1String("%*"), parameters);
    if (line.contains(QLatin1String("%1")))
        line.replace(QLatin1String("%1"), hostPath);
    else
        line += QStringLiteral(" \"%1\"").arg(hostPath);
    QString program, rest;
    if (!splitCommand(line, &program, &rest))
        return failWith(EINVAL, QStringLiteral("Bad open command: %1").arg(command));
    const QString hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    return launchDetached(hostProgram, hostArgumentsFor(splitArguments(rest)));
}

} // namespace

bool shellExecute(const QString &file, const QString &parameters)
{
    const QByteArray host = hostPathFromDevice(file);
    struct stat st {};
    if (file.isEmpty() || host.isEmpty() || ::stat(host.constData(), &st) != 0) {
        // A bare program name that is no file under the root may be on PATH.
        const int error = file.isEmpty() || host.isEmpty() ? EINVAL : errno;
        if (!file.isEmpty() && !file.contains(u'\\')) {
            const QString onPath = findProgramOnPath(file);
            if (!onPath.isEmpty())
                return launchDetached(onPath, hostArgumentsFor(splitArguments(parameters)));
        }
        return failWithErrno(error, QStringLiteral("Cannot open %1").arg(file));
    }
    const QString hostPath = QFile::decodeName(host);
    if (S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)))
        return launchDetached(hostPath, hostArgumentsFor(splitArguments(parameters)));

    const QString name = file.mid(file.lastIndexOf(u'\\') + 1);
    const QString command = S_ISDIR(st.st_mode) ? QString() : registeredOpenCommand(name);
    if (!command.isEmpty())
        return openWithCommand(command, hostPath, parameters);
    const QString xdgOpen = hostProgramFor(QStringLiteral("xdg-open"));
    return !xdgOpen.isEmpty() && launchDetached(xdgOpen, {hostPath});
}

bool openUrl(const QString &url)
{
    if (url.isEmpty())
        return failWith(EINVAL, QStringLiteral("No address to open"));
    const QString xdgOpen = hostProgramFor(QStringLiteral("xdg-open"));
    return !xdgOpen.isEmpty() && launchDetached(xdgOpen, {url});
}

} // namespace platform
