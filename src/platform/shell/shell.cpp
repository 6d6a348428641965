#include "shell.h"

#include "processlaunch.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/registry/desktopassociations.h"
#include "platform/registry/registry.h"

#include <QFile>
#include <QMimeDatabase>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
// extension's own command key or its class (*className, when it was).
QString registeredOpenCommand(const QString &name, QString *className)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || dot == name.size() - 1)
        return {};
    const QString extKey = name.mid(dot);
    bool found = false;
    QString command = readDefaultValue(extKey + QStringLiteral("\\Shell\\Open\\Command"), &found);
    if (found && !command.isEmpty())
        return command;
    *className = readDefaultValue(extKey, &found);
    if (!found || className->isEmpty())
        return {};
    return readDefaultValue(*className + QStringLiteral("\\Shell\\Open\\Command"), &found);
}

// Text without its leading white space; trailing white space is kept, as it
// may end a marked name (splitting ignores it anyway).
QString withoutLeadingSpace(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    return text.mid(start);
}

// The program of a command line (quoted, or up to the first blank) and the
// rest; marked text inside either is skipped whole.
bool splitCommand(const QString &command, QString *program, QString *rest)
{
    const QString line = withoutLeadingSpace(command);
    qsizetype end;
    if (line.startsWith(u'"')) {
        end = indexOutsideLiterals(line, u'"', 1);
        if (end < 0)
            return false;
        *program = readableCommandLine(line.mid(1, end - 1));
        ++end;
    } else {
        end = indexOutsideLiterals(line, u' ');
        if (end < 0)
            end = line.size();
        *program = readableCommandLine(line.left(end));
    }
    *rest = withoutLeadingSpace(line.mid(end));
    return !program->isEmpty();
}

// One pass over the command's own text: %1 takes the file, %* the
// parameters, %2 to %9 one parameter each; what was put in is never looked
// at again. Parameters no placeholder took go after the file when
// appendParameters is set.
QString substituteCommand(const QString &command, const QString &hostPath, const QString &parameters,
                          bool appendParameters)
{
    const QStringList split = splitArguments(parameters);
    QString line;
    bool fileTaken = false, parametersTaken = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar code = command[i] == u'%' && i + 1 < command.size() ? command[i + 1] : QChar();
        if (code == u'1') {
            line += literalCommandText(hostPath);
            fileTaken = true;
        } else if (code == u'*') {
            line += parameters;
            parametersTaken = true;
        } else if (code >= u'2' && code <= u'9') {
            const qsizetype index = code.unicode() - u'2';
            if (index < split.size())
                line += literalCommandText(split[index]);
            parametersTaken = true;
        } else {
            line += command[i];
            continue;
        }
        ++i;
    }
    if (!fileTaken)
        line += u' ' + literalCommandText(hostPath);
    if (appendParameters && !parametersTaken && !split.isEmpty())
        line += u' ' + parameters;
    return line;
}

} // namespace

bool openWithCommand(const QString &command, const QByteArray &hostPath, const QString &parameters,
                     bool appendParameters)
{
    const QString line = substituteCommand(command, textFromBytes(hostPath), parameters, appendParameters);
    QString program, rest;
    if (!splitCommand(line, &program, &rest))
        return failWith(EINVAL, QStringLiteral("Bad open command: %1").arg(command));
    const QByteArray hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    return launchHost(hostProgram, hostArgumentsFor(splitArguments(rest)));
}

bool openWithXdgOpen(const QByteArray &hostPath)
{
    const QByteArray xdgOpen = hostProgramFor(QStringLiteral("xdg-open"));
    return !xdgOpen.isEmpty() && launchHost(xdgOpen, {hostPath});
}

// The start of a regular file, read without blocking; empty for anything else.
QByteArray leadingBytes(const QByteArray &hostPath)
{
    const int fd = ::open(hostPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        data.resize(4096);
        const ssize_t n = ::read(fd, data.data(), data.size());
        data.resize(n > 0 ? n : 0);
    }
    ::close(fd);
    return data;
}

bool openHostDocument(const QByteArray &hostPath, const QString &parameters)
{
    const QString name = textFromBytes(hostPath.mid(hostPath.lastIndexOf('/') + 1));
    const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(name, leadingBytes(hostPath));
    QStringList candidates {type.name()};
    candidates += type.allAncestors();
    for (const QString &mimeName : std::as_const(candidates)) {
        bool takesFileList = false;
        const QString command = desktopOpenCommand(mimeName, &takesFileList);
        if (!command.isEmpty())
            return openWithCommand(command, hostPath, parameters, takesFileList);
    }
    return openWithXdgOpen(hostPath);
}

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
                return launchHost(QFile::encodeName(onPath), hostArgumentsFor(splitArguments(parameters)));
        }
        return failWithErrno(error, QStringLiteral("Cannot open %1").arg(file));
    }
    if (S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)))
        return launchHost(host, hostArgumentsFor(splitArguments(parameters)));

    if (S_ISDIR(st.st_mode))
        return openWithXdgOpen(host);
    const QString name = file.mid(file.lastIndexOf(u'\\') + 1);
    QString className;
    const QString command = registeredOpenCommand(name, &className);
    if (command.isEmpty())
        return name.contains(u'.') ? openWithXdgOpen(host) : openHostDocument(host, parameters);
    // The desktop's own default (not a .reg file's) may take more files.
    bool takesFileList = false;
    const bool fromDesktop = !className.isEmpty() && desktopOpenCommand(className, &takesFileList) == command;
    return openWithCommand(command, host, parameters, fromDesktop && takesFileList);
}

bool openUrl(const QString &url)
{
    if (url.isEmpty())
        return failWith(EINVAL, QStringLiteral("No address to open"));
    const QByteArray xdgOpen = hostProgramFor(QStringLiteral("xdg-open"));
    return !xdgOpen.isEmpty() && launchHost(xdgOpen, {bytesFromText(url)});
}

} // namespace platform
