#include "registry.h"

#include "desktopassociations.h"
#include "regfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>

#include <future>
#include <memory>
#include <thread>

namespace platform {

namespace {

// One configuration of sources; replaced as a whole, so readers holding the
// old one finish undisturbed.
struct Sources {
    QStringList fileNames;
    QList<QByteArray> stamps; // of each file, taken before it was read
    QList<RegFileContent> files;
    std::shared_ptr<DesktopAssociations> desktop; // classes root only; null when off
    QStringList warnings;
};

struct OpenKey {
    RegRoot root;
    QString path; // folded
};

struct RegistryState {
    QMutex mutex;
    std::shared_ptr<Sources> sources;
    QHash<RegKey, OpenKey> handles;
    RegKey nextHandle = 0x100;
    // A configuration is read on a thread of its own, so that start-up goes
    // on meanwhile; the first question waits for it.
    std::shared_future<std::shared_ptr<Sources>> loading;
    quint64 configuration = 0;
    // Changed files are read again on a thread of their own, one re-read at
    // a time, while questions go on with the sources they replace.
    std::thread rereader;
    bool rereading = false;

    ~RegistryState()
    {
        if (rereader.joinable())
            rereader.join();
        if (loading.valid())
            loading.wait();
    }
};

RegistryState &state()
{
    static RegistryState s;
    return s;
}

std::shared_ptr<Sources> loadSources(const QStringList &files, std::shared_ptr<DesktopAssociations> desktop)
{
    auto sources = std::make_shared<Sources>();
    sources->fileNames = files;
    sources->desktop = std::move(desktop);
    for (const QString &file : files) {
        sources->stamps.append(fileChangeStamp(file));
        // A file that is not there (yet) is no problem: it is read once it appears.
        if (sources->stamps.last().isEmpty() && !QFileInfo::exists(file) && !QFileInfo(file).isSymLink()) {
            sources->files.append(RegFileContent());
            sources->files.last().fileName = file;
            continue;
        }
        sources->files.append(loadRegFile(file));
        for (const QString &warning : sources->files.last().warnings) {
            qWarning("%s", qPrintable(warning));
            sources->warnings.append(warning);
        }
    }
    return sources;
}

std::shared_future<std::shared_ptr<Sources>> startLoading(const QStringList &files,
                                                          std::shared_ptr<DesktopAssociations> desktop)
{
    return std::async(std::launch::async, [files, desktop] { return loadSources(files, desktop); }).share();
}

bool filesChanged(const Sources &sources)
{
    for (qsizetype i = 0; i < sources.fileNames.size(); ++i) {
        if (fileChangeStamp(sources.fileNames[i]) != sources.stamps[i])
            return true;
    }
    return false;
}

// The sources; a file changed since it was read is read again off the
// asking thread, and answers follow once it is ready. No question waits for
// a re-read, only the very first one for the first read.
std::shared_ptr<Sources> currentSources()
{
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.sources && !s.loading.valid()) {
        // Until configured: the user's own file and the desktop.
        s.loading = startLoading({Registry::userRegFile()}, std::make_shared<DesktopAssociations>());
    }
    while (!s.sources) {
        const std::shared_future<std::shared_ptr<Sources>> loading = s.loading;
        const quint64 configuration = s.configuration;
        lock.unlock();
        std::shared_ptr<Sources> loaded = loading.get();
        lock.relock();
        if (!s.sources && s.configuration == configuration)
            s.sources = std::move(loaded);
    }
    std::shared_ptr<Sources> current = s.sources;
    if (s.rereading)
        return current;
    lock.unlock();
    const bool changed = filesChanged(*current);
    lock.relock();
    if (!changed || s.rereading || s.sources != current)
        return s.sources;
    s.rereading = true;
    if (s.rereader.joinable())
        s.rereader.join(); // the last one has finished: it cleared rereading
    s.rereader = std::thread([current] {
        std::shared_ptr<Sources> reread = loadSources(current->fileNames, current->desktop);
        RegistryState &s = state();
        QMutexLocker lock(&s.mutex);
        if (s.sources == current)
            s.sources = std::move(reread);
        s.rereading = false;
    });
    return current;
}

bool lookupHandle(RegKey key, OpenKey *out)
{
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    const auto it = s.handles.constFind(key);
    if (it == s.handles.constEnd())
        return false;
    *out = it.value();
    return true;
}

// The desktop's keys under ".exe" stand in for a missing .reg entry only:
// a file that declares ".exe" (or anything below it) takes the whole key.
bool desktopAnswers(const Sources &sources, RegRoot root, const QString &path)
{
    if (root != RegRoot::ClassesRoot || !sources.desktop)
        return false;
    static const QString programKey = QStringLiteral(".exe");
    if (!path.startsWith(programKey + u'\\'))
        return true;
    for (const RegFileContent &file : sources.files) {
        if (file.hasKey(root, programKey))
            return false;
    }
    return true;
}

bool keyExists(Sources &sources, RegRoot root, const QString &path)
{
    for (const RegFileContent &file : sources.files) {
        if (file.hasKey(root, path))
            return true;
    }
    return desktopAnswers(sources, root, path) && sources.desktop->lookup(path).has_value();
}

// A key declared in a .reg file hides the desktop's key of that name.
bool findValue(Sources &sources, RegRoot root, const QString &path, const QString &name, QString *out)
{
    bool declared = false;
    const QString foldedName = name.toCaseFolded();
    for (const RegFileContent &file : sources.files) {
        if (file.findValue(root, path, foldedName, out))
            return true;
        declared = declared || file.declaresKey(root, path);
    }
    if (declared || !desktopAnswers(sources, root, path) || !name.isEmpty())
        return false;
    const std::optional<DesktopAssociations::Key> key = sources.desktop->lookup(path);
    if (!key || !key->hasDefault)
        return false;
    *out = key->defaultValue;
    return true;
}

} // namespace

long regOpenKey(RegRoot root, const QString &subKey, RegKey *key)
{
    if (!key)
        return ERROR_INVALID_HANDLE;
    *key = 0;
    const QString path = foldRegKeyPath(subKey);
    const std::shared_ptr<Sources> sources = currentSources();
    if (!path.isEmpty() && !keyExists(*sources, root, path))
        return ERROR_FILE_NOT_FOUND;
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    *key = s.nextHandle++;
    s.handles.insert(*key, OpenKey{root, path});
    return ERROR_SUCCESS;
}

long regQueryValue(RegKey key, const QString &name, QString *value, quint32 *sizeBytes)
{
    OpenKey open;
    if (!lookupHandle(key, &open))
        return ERROR_INVALID_HANDLE;
    const std::shared_ptr<Sources> sources = currentSources();
    QString found;
    if (!findValue(*sources, open.root, open.path, name, &found))
        return ERROR_FILE_NOT_FOUND;
    const quint32 needed = quint32(found.size() + 1) * 2;
    if (value && sizeBytes && *sizeBytes < needed) {
        *sizeBytes = needed;
        return ERROR_MORE_DATA;
    }
    if (sizeBytes)
        *sizeBytes = needed;
    if (value)
        *value = found;
    return ERROR_SUCCESS;
}

long regCloseKey(RegKey key)
{
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    return s.handles.remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

void Registry::configure(const QStringList &regFiles, bool desktopAssociations)
{
    // The desktop's watcher is made here, on the caller's (the user-interface) thread.
    std::shared_future<std::shared_ptr<Sources>> loading
        = startLoading(regFiles, desktopAssociations ? std::make_shared<DesktopAssociations>() : nullptr);
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    s.sources.reset();
    s.loading = std::move(loading);
    ++s.configuration;
}

QString Registry::userRegFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/ferrix/registry.reg");
}

QStringList Registry::loadWarnings()
{
    return currentSources()->warnings;
}

} // namespace platform
