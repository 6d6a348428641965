#include "livechanges.h"

#include "platform/work/longwork.h"

#include <QGuiApplication>
#include <QWindow>

LiveChanges::LiveChanges(MustWait mustWait, Apply apply, QObject *parent)
    : QObject(parent)
    , m_mustWait(std::move(mustWait))
    , m_apply(std::move(apply))
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(100);
    connect(&m_retry, &QTimer::timeout, this, &LiveChanges::applyPending);
    connect(&m_watch, &platform::FolderWatch::changesReady, this, [this] {
        take();
        applyPending();
    });
}

bool LiveChanges::programBusy()
{
    return QGuiApplication::modalWindow() != nullptr || platform::currentWork() != nullptr;
}

void LiveChanges::setFolders(const QStringList &folders)
{
    if (folders == m_folders)
        return;
    m_folders = folders;
    m_watch.setFolders(folders);
    for (auto it = m_pending.begin(); it != m_pending.end();)
        it = folders.contains(it->first) ? std::next(it) : m_pending.erase(it);
    for (auto it = m_listedAtNs.begin(); it != m_listedAtNs.end();)
        it = folders.contains(it.key()) ? std::next(it) : m_listedAtNs.erase(it);
}

void LiveChanges::addFolder(const QString &folder)
{
    if (!m_folders.contains(folder))
        setFolders(m_folders + QStringList{folder});
}

void LiveChanges::listingBegins(const QString &folder)
{
    const qint64 now = platform::folderWatchNowNs();
    m_listedAtNs.insert(folder, now);
    const auto it = m_pending.find(folder);
    if (it == m_pending.end())
        return;
    Pending &pending = it->second;
    if (pending.readAtNs < now)
        pending.complete = false;
    pending.entries.removeIf([now](const auto &entry) { return entry.value().readAtNs < now; });
    if (!pending.complete && pending.entries.isEmpty())
        m_pending.erase(it);
}

void LiveChanges::take()
{
    for (platform::FolderChanges &changes : m_watch.takeChanges()) {
        const qint64 listedAt = m_listedAtNs.value(changes.folder, 0);
        Pending &pending = m_pending[changes.folder];
        if (changes.complete && changes.readAtNs >= listedAt) {
            pending = Pending();
            pending.complete = true;
            pending.readAtNs = changes.readAtNs;
        }
        for (platform::WatchedEntry &entry : changes.entries)
            if (entry.readAtNs >= listedAt)
                pending.entries.insert(entry.name, std::move(entry));
        if (!pending.complete && pending.entries.isEmpty())
            m_pending.erase(changes.folder);
    }
}

void LiveChanges::applyPending()
{
    if (m_pending.empty())
        return;
    if (m_mustWait && m_mustWait()) {
        m_retry.start();
        return;
    }
    std::map<QString, Pending> pending;
    pending.swap(m_pending);
    for (auto &[folder, p] : pending) {
        platform::FolderChanges changes;
        changes.folder = folder;
        changes.complete = p.complete;
        changes.readAtNs = p.readAtNs;
        changes.entries.reserve(size_t(p.entries.size()));
        for (auto it = p.entries.begin(); it != p.entries.end(); ++it)
            changes.entries.push_back(std::move(it.value()));
        m_apply(changes);
    }
}
