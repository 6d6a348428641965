#pragma once
#include "platform/fs/folderwatch.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

// The changes other programs make to the folders a pane shows, kept until
// the pane may apply them: never while the user edits a name, a box or
// other modal window is open or long work runs. A listing of a folder shows
// whatever was read before it began, so that is dropped, and a pane's own
// operation followed by its refresh is never shown twice.
class LiveChanges : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void(const platform::FolderChanges &)>;
    using MustWait = std::function<bool()>;

    LiveChanges(MustWait mustWait, Apply apply, QObject *parent = nullptr);

    // The folders to follow (device paths as the pane names them).
    void setFolders(const QStringList &folders);
    void addFolder(const QString &folder);
    // A listing of folder begins now.
    void listingBegins(const QString &folder);
    // Applies what waits, unless the pane must wait; then it tries again soon.
    void applyPending();
    bool hasPending() const { return !m_pending.empty(); }
    const platform::FolderWatch &watch() const { return m_watch; }

    // Whether a modal window is open or long work runs.
    static bool programBusy();

private:
    struct Pending {
        bool complete = false;
        qint64 readAtNs = 0;
        QHash<QString, platform::WatchedEntry> entries;
    };
    void take();

    platform::FolderWatch m_watch;
    MustWait m_mustWait;
    Apply m_apply;
    std::map<QString, Pending> m_pending;
    QHash<QString, qint64> m_listedAtNs;
    QStringList m_folders;
    QTimer m_retry;
};
