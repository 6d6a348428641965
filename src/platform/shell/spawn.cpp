#include "spawn.h"

#include "platform/base/lasterror.h"
#include "platform/fs/devicepath.h"
#include "platform/work/longwork.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

// environ with the request's variables added or replaced.
std::vector<QByteArray> mergedEnvironment(const QList<QPair<QByteArray, QByteArray>> &changes)
{
    std::vector<QByteArray> result;
    for (char **e = environ; e && *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray key = entry.left(entry.indexOf('='));
        bool replaced = false;
        for (const auto &change : changes)
            replaced = replaced || change.first == key;
        if (!replaced)
            result.push_back(entry);
    }
    for (const auto &change : changes)
        result.push_back(change.first + '=' + change.second);
    return result;
}

std::vector<char *> pointers(std::vector<QByteArray> &strings)
{
    std::vector<char *> result;
    result.reserve(strings.size() + 1);
    for (QByteArray &s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits as waitFor does, but a long work the user stops ends the program
// (SIGTERM) instead of waiting on for it.
int waitForUnlessStopped(pid_t pid)
{
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return waitFor(pid);
    bool stopped = false;
    pollfd ready {fd, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&ready, 1, 50);
        if (n > 0 || (n < 0 && errno != EINTR))
            break;
        if (!stopped && stopRequested()) {
            stopped = true;
            ::kill(pid, SIGTERM);
        }
    }
    ::close(fd);
    return waitFor(pid);
}

} // namespace

bool spawnProcess(const SpawnRequest &request, int *exitCode)
{
    const QString what = QStringLiteral("Cannot start %1").arg(textFromBytes(request.program));
    if (request.program.isEmpty() || request.program.contains('\0'))
        return failWithErrno(ENOENT, what);
    // Say why before trying: a failed exec in the child is only an exit code.
    if (::access(request.program.constData(), X_OK) != 0)
        return failWithErrno(errno, what);

    std::vector<QByteArray> argv {request.program};
    for (const QByteArray &argument : request.arguments) {
        if (argument.contains('\0'))
            return failWithErrno(EINVAL, what);
        argv.push_back(argument);
    }
    std::vector<QByteArray> envp = mergedEnvironment(request.environment);
    std::vector<char *> argvPointers = pointers(argv);
    std::vector<char *> envpPointers = pointers(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int err = ::posix_spawn(&pid, request.program.constData(), &actions, nullptr,
                                  argvPointers.data(), envpPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0)
        return failWithErrno(err, what);

    if (request.wait) {
        const int code = currentWork() ? waitForUnlessStopped(pid) : waitFor(pid);
        if (exitCode)
            *exitCode = code;
    } else {
        // Nobody waits for a detached program: reap it so it leaves no zombie.
        std::thread([pid] { waitFor(pid); }).detach();
    }
    clearLastError();
    return true;
}

} // namespace platform
