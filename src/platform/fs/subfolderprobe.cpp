#include "subfolderprobe.h"

#include "devicepath.h"
#include "entryinfo.h"
#include "hostfs.h"
#include "platform/base/lasterror.h"
#include "platform/testing/faultpoints.h"
#include "platform/work/readstep.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>

namespace platform {

using namespace detail;

namespace {

// Reads the open folder until its first folder. The entry type from the
// directory itself is enough for everything but links and file systems that
// do not report it.
bool scanForFolder(int dirFd, int *err)
{
    alignas(struct dirent64) char buffer[8192];
    *err = 0;
    for (;;) {
        const ssize_t n = ::getdents64(dirFd, buffer, sizeof buffer);
        if (n <= 0) {
            *err = n < 0 ? errno : ENOENT;
            return false;
        }
        for (ssize_t offset = 0; offset < n;) {
            const auto *entry = reinterpret_cast<const struct dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            if (entry->d_type == DT_DIR)
                return true;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct statx target;
                if (statAt(dirFd, entry->d_name, target, true) == 0 && S_ISDIR(target.stx_mode))
                    return true;
            }
        }
    }
}

int injectedFind(const QString &folderPath)
{
    return faults::any() ? injectedFindFault(folderPath + QStringLiteral("*.*")) : 0;
}

// Scans the folder; false with the reason as the last error when it holds
// no folder.
bool scan(int dirFd, const QString &folderPath)
{
    int err = 0;
    if (!scanForFolder(dirFd, &err))
        return fail(err, "Find", folderPath + QStringLiteral("*.*"));
    clearLastError();
    return true;
}

} // namespace

struct SubfolderProbe::State {
    QString parentPath;
    Fd parent;
    int openError = 0;
};

namespace {

bool probeIn(const SubfolderProbe::State &state, const QString &name)
{
    const QString folderPath = state.parentPath + name + QLatin1Char('\\');
    // Names that are not one plain component go the long way.
    if (name.isEmpty() || name.contains(QLatin1Char('\\')) || name == QLatin1String(".")
        || name == QLatin1String(".."))
        return platform::hasSubfolder(folderPath);
    if (!isValidDevicePath(folderPath))
        return fail(EINVAL, "Find", folderPath);
    if (const int err = injectedFind(folderPath))
        return fail(err, "Find", folderPath);
    if (state.openError)
        return fail(state.openError, "Find", folderPath);
    const QByteArray hostName = hostNameFromDevice(name);
    const int fd = retryOnIntr([&] {
        return ::openat(state.parent.get(), hostName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    });
    if (fd < 0)
        return fail(errno, "Find", folderPath);
    Fd folder(fd);
    return scan(folder.get(), folderPath);
}

// Every folder of the parent (links to folders too) and whether it holds
// one; a parent that cannot be read gives no answers.
QHash<QString, LastError> probeAll(const SubfolderProbe::State &state)
{
    QHash<QString, LastError> answers;
    if (state.openError)
        return answers;
    const int fd = retryOnIntr([&] { return ::openat(state.parent.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return answers;
    Fd folder(fd);
    alignas(struct dirent64) char buffer[8192];
    for (;;) {
        const ssize_t n = ::getdents64(folder.get(), buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t offset = 0; offset < n;) {
            const auto *entry = reinterpret_cast<const struct dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            if (entry->d_type != DT_DIR) {
                struct statx target;
                if ((entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
                    || statAt(folder.get(), entry->d_name, target, true) != 0 || !S_ISDIR(target.stx_mode))
                    continue;
            }
            const QString name = deviceNameFromHost(QByteArray(entry->d_name));
            probeIn(state, name);
            answers.insert(name, lastError());
        }
    }
    return answers;
}

bool hasSubfolderHere(const QString &folderPath)
{
    if (!isValidDevicePath(folderPath))
        return fail(EINVAL, "Find", folderPath);
    if (const int err = injectedFind(folderPath))
        return fail(err, "Find", folderPath);
    Fd fd;
    if (const int err = openFolder(folderPath, O_RDONLY, fd))
        return fail(err, "Find", folderPath);
    return scan(fd.get(), folderPath);
}

} // namespace

SubfolderProbe::SubfolderProbe(const QString &parentPath)
{
    d = readStep(parentPath, [parentPath] {
        auto state = std::make_shared<State>();
        state->parentPath = parentPath;
        // The trailing backslash is an empty component, which opening skips.
        state->openError = isValidDevicePath(parentPath) ? openFolder(parentPath, O_PATH, state->parent) : EINVAL;
        return std::shared_ptr<const State>(std::move(state));
    });
    if (!d) { // given up
        auto state = std::make_shared<State>();
        state->parentPath = parentPath;
        state->openError = ECANCELED;
        d = std::move(state);
    }
}

SubfolderProbe::~SubfolderProbe() = default;

bool SubfolderProbe::hasSubfolder(const QString &name)
{
    if (!m_answers)
        m_answers = readStep(d->parentPath, [state = d] { return probeAll(*state); });
    if (const auto known = m_answers->constFind(name); known != m_answers->constEnd()) {
        setLastError(known->code, known->message);
        return known->code == 0;
    }
    // Made since, or a name that is no plain entry of the parent.
    return readStep(d->parentPath + name + QLatin1Char('\\'), [state = d, name] { return probeIn(*state, name); });
}

bool hasSubfolder(const QString &folderPath)
{
    return readStep(folderPath, [folderPath] { return hasSubfolderHere(folderPath); });
}

} // namespace platform
