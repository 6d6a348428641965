#include "registry.h"

#include "desktopassociations.h"
#include "regfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>

#include <memory>

namespace platform {

namespace {

// One configuration of sources; replaced as a whole, so readers holding the
// old one finish undisturbed.
struct Sources {
    QList<RegFileContent> files;
    std::unique_ptr<DesktopAssociations> desktop; // classes root only; null when off
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
};

RegistryState &state()
{
    static RegistryState s;
    return s;
}

std::shared_ptr<Sources> loadSources(const QStringList &files, bool desktop)
{
    auto sources = std::make_shared<Sources>();
    for (const QString &file : files) {
        sources->files.append(loadRegFile(file));
        for (const QString &warning : sources->files.last().warnings) {
            qWarning("%s", qPrintable(warning));
            sources->warnings.append(warning);
        }
    }
    if (desktop)
        sources->desktop = std::make_unique<DesktopAssociations>();
    return sources;
}

std::shared_ptr<Sources> currentSources()
{
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.sources) {
        // Until configured: the user's own file, when there is one, and the desktop.
        QStringList files;
        if (QFileInfo::exists(Registry::userRegFile()))
            files.append(Registry::userRegFile());
        s.sources = loadSources(files, true);
    }
    return s.sources;
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

bool keyExists(Sources &sources, RegRoot root, const QString &path)
{
    for (const RegFileContent &file : sources.files) {
        if (file.hasKey(root, path))
            return true;
    }
    return root == RegRoot::ClassesRoot && sources.desktop && sources.desktop->lookup(path).has_value();
}

// A key declared in a .reg file hides the desktop's key of that name.
bool findValue(Sources &sources, RegRoot root, const QString &path, const QString &name, QString *out)
{
    bool declared = false;
    const QString foldedName = name.toCaseFolded();
    for (const RegFileContent &file : sources.files) {
        if (const RegKeyValues *key = file.declaredKey(root, path)) {
            declared = true;
            const auto it = key->values.constFind(foldedName);
            if (it != key->values.constEnd()) {
                *out = it.value();
                return true;
            }
        }
    }
    if (declared || root != RegRoot::ClassesRoot || !sources.desktop || !name.isEmpty())
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
    // Load outside the lock: reads go on meanwhile with the old sources.
    std::shared_ptr<Sources> sources = loadSources(regFiles, desktopAssociations);
    RegistryState &s = state();
    QMutexLocker lock(&s.mutex);
    s.sources = std::move(sources);
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
