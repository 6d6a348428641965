#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Shared by the process and shell services: host paths in as exact bytes,
// the launcher set for tests (or a real start) underneath.
namespace platform {

using HostArguments = QList<QByteArray>;

// A device path becomes its host path, a bare name is looked up on PATH, a
// host path stays. Empty (last error set) when there is no such program.
QByteArray hostProgramFor(const QString &program);
// Arguments that are device paths become host paths; the others their bytes
// in the platform's codec.
HostArguments hostArgumentsFor(const QStringList &arguments);
// Starts without waiting (or waits, with exitCode); false with the last
// error set on failure.
bool launchHost(const QByteArray &hostProgram, const HostArguments &hostArguments, int *exitCode = nullptr,
                bool wait = false);
// Opens a host file with the desktop's default application for its content
// (read from the file, not guessed from its name), else with xdg-open. The
// parameters follow the file when that application accepts a list of files.
bool openHostDocument(const QByteArray &hostPath, const QString &parameters = QString());
// Opens a host file with an open command whose "%1" (or its end) takes the
// path as one argument; a list-taking command also gets the parameters.
bool openWithCommand(const QString &command, const QByteArray &hostPath, const QString &parameters,
                     bool appendParameters);
bool openWithXdgOpen(const QByteArray &hostPath);
// The start of a regular file, read without blocking; empty for anything else.
QByteArray leadingBytes(const QByteArray &hostPath);

} // namespace platform
