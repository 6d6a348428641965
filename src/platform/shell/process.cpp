#include "shell.h"

#include "processlaunch.h"
#include "spawn.h"
#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>

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

// Marked text: U+FDD0, its length in decimal, U+FDD1, the text. The length
// makes the mark unforgeable: whatever the text holds (even these two
// noncharacters) is skipped whole.
constexpr char16_t kLiteralOpen = 0xFDD0;
constexpr char16_t kLiteralLength = 0xFDD1;

// At pos, a well-formed mark: *textStart and *textEnd bound its text.
bool literalAt(const QString &command, qsizetype pos, qsizetype *textStart, qsizetype *textEnd)
{
    if (pos >= command.size() || command[pos] != QChar(kLiteralOpen))
        return false;
    qsizetype i = pos + 1;
    qint64 length = 0;
    while (i < command.size() && command[i].isDigit() && length <= command.size()) {
        length = length * 10 + command[i].digitValue();
        ++i;
    }
    if (i == pos + 1 || i >= command.size() || command[i] != QChar(kLiteralLength)
        || length > command.size() - i - 1)
        return false;
    *textStart = i + 1;
    *textEnd = i + 1 + length;
    return true;
}

bool isExecutableFile(const struct stat &st)
{
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
}

} // namespace

QString literalCommandText(const QString &text)
{
    return QChar(kLiteralOpen) + QString::number(text.size()) + QChar(kLiteralLength) + text;
}

QString readableCommandLine(const QString &command)
{
    QString out;
    out.reserve(command.size());
    for (qsizetype i = 0; i < command.size();) {
        qsizetype begin, end;
        if (literalAt(command, i, &begin, &end)) {
            out.append(QStringView(command).mid(begin, end - begin));
            i = end;
        } else {
            out.append(command[i++]);
        }
    }
    return out;
}

qsizetype indexOutsideLiterals(const QString &command, QChar c, qsizetype from)
{
    for (qsizetype i = qMax<qsizetype>(from, 0); i < command.size();) {
        qsizetype begin, end;
        if (literalAt(command, i, &begin, &end)) {
            i = end;
        } else if (command[i] == c) {
            return i;
        } else {
            ++i;
        }
    }
    return -1;
}

QStringList splitArguments(const QString &arguments)
{
    QStringList result;
    QString current;
    bool inQuotes = false;
    bool started = false; // "" is an empty argument of its own
    for (qsizetype i = 0; i < arguments.size();) {
        const QChar c = arguments[i];
        qsizetype begin, end;
        if (literalAt(arguments, i, &begin, &end)) {
            current.append(QStringView(arguments).mid(begin, end - begin));
            started = true;
            i = end;
            continue;
        }
        if (c == u'\\') {
            // Backslashes are literal unless a quote follows: then each pair
            // is one backslash, and an odd one out makes the quote literal.
            qsizetype run = 0;
            while (i + run < arguments.size() && arguments[i + run] == u'\\')
                ++run;
            const bool beforeQuote = i + run < arguments.size() && arguments[i + run] == u'"';
            current.append(QString(beforeQuote ? run / 2 : run, u'\\'));
            i += run;
            if (beforeQuote && run % 2 == 1) {
                current.append(u'"');
                ++i;
            }
            started = true;
            continue;
        }
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
        ++i;
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

QByteArray hostProgramFor(const QString &program)
{
    if (program.isEmpty()) {
        failWith(ENOENT, QStringLiteral("No program given"));
        return {};
    }
    if (program.startsWith(u'\\')) {
        const QByteArray host = hostPathFromDevice(program);
        if (host.isEmpty())
            failWith(EINVAL, QStringLiteral("Invalid program path %1").arg(program));
        return host;
    }
    if (program.contains(u'/'))
        return bytesFromText(program);
    const QString found = findProgramOnPath(program);
    if (found.isEmpty())
        failWith(ENOENT, QStringLiteral("%1 was not found on PATH").arg(program));
    return QFile::encodeName(found);
}

HostArguments hostArgumentsFor(const QStringList &arguments)
{
    HostArguments hostArguments;
    hostArguments.reserve(arguments.size());
    for (const QString &argument : arguments) {
        const QByteArray host = argument.startsWith(u'\\') ? hostPathFromDevice(argument) : QByteArray();
        hostArguments.append(host.isEmpty() ? bytesFromText(argument) : host);
    }
    return hostArguments;
}

bool launchHost(const QByteArray &hostProgram, const HostArguments &hostArguments, int *exitCode, bool wait)
{
    if (const ProcessLauncher test = currentLauncher()) {
        QStringList texts;
        for (const QByteArray &argument : hostArguments)
            texts.append(textFromBytes(argument));
        if (!test(textFromBytes(hostProgram), texts))
            return failWith(ENOEXEC, QStringLiteral("Cannot start %1").arg(textFromBytes(hostProgram)));
        if (exitCode)
            *exitCode = 0;
        clearLastError();
        return true;
    }
    SpawnRequest request;
    request.program = hostProgram;
    request.arguments = hostArguments;
    request.wait = wait;
    return spawnProcess(request, exitCode);
}

bool createProcess(const QString &program, const QString &arguments)
{
    const QByteArray hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    // A document put where a program belongs (a file without extension
    // sent to the program handler) opens as a document.
    struct stat st {};
    if (program.startsWith(u'\\') && ::stat(hostProgram.constData(), &st) == 0 && S_ISREG(st.st_mode)
        && !isExecutableFile(st) && splitArguments(arguments).isEmpty())
        return openHostDocument(hostProgram);
    return launchHost(hostProgram, hostArgumentsFor(splitArguments(arguments)));
}

bool runProcessAndWait(const QString &program, const QString &arguments, int *exitCode)
{
    const QByteArray hostProgram = hostProgramFor(program);
    if (hostProgram.isEmpty())
        return false;
    return launchHost(hostProgram, hostArgumentsFor(splitArguments(arguments)), exitCode, true);
}

void setProcessLauncher(ProcessLauncher newLauncher)
{
    QMutexLocker lock(&launcherMutex);
    launcher = std::move(newLauncher);
}

} // namespace platform
