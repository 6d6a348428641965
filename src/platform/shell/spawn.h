#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>

// Starting a host program with arguments that are exact host bytes: a file
// name that is not valid UTF-8 reaches the program as it is on disk, and
// each argument stays one argument (no shell, no splitting).
namespace platform {

struct SpawnRequest {
    QByteArray program;                                  // host path of the program
    QList<QByteArray> arguments;                         // argv[1..], as they are
    QList<QPair<QByteArray, QByteArray>> environment;    // added to (or replacing in) ours
    bool wait = false;                                   // wait until the program ends
};

// Starts the program with standard input from /dev/null. With wait, blocks
// until it ends and sets *exitCode (-1 when it was killed by a signal);
// without, the child is reaped in the background. False (last error set)
// when the program cannot be run.
bool spawnProcess(const SpawnRequest &request, int *exitCode = nullptr);

} // namespace platform
