#pragma once
#include <QString>
#include <QStringList>

// Shared by the process and shell services: host paths in, the launcher
// set for tests (or a detached start) underneath.
namespace platform {

// A device path becomes its host path, a bare name is looked up on PATH, a
// host path stays. Empty (last error set) when there is no such program.
QString hostProgramFor(const QString &program);
// Arguments that are device paths become host paths.
QStringList hostArgumentsFor(const QStringList &arguments);
// Starts without waiting; false with the last error set on failure.
bool launchDetached(const QString &hostProgram, const QStringList &hostArguments);

} // namespace platform
