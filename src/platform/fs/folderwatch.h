#pragma once
#include "platform/base/finddata.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Follows folders for changes other programs make (Linux inotify). Events are
// read, and the changed names looked at, on a thread of its own; the owner's
// thread is told at most every kPaceMs what changed, per folder. A folder
// that cannot be watched (the kernel's limits, a network or FUSE mount whose
// changes on other machines would never be told, a pseudo file system) is
// simply not followed. Nothing is ever polled.
namespace platform {

// One name of a watched folder as it is now.
struct WatchedEntry {
    QString name;         // as a listing gives it
    bool present = false; // false: nothing there any more
    FindData data;        // when present, what a listing reports for it
    bool hasSubfolder = false; // a folder with a folder inside
    qint64 readAtNs = 0;  // folderWatchNowNs() when it was looked at
};

struct FolderChanges {
    QString folder; // device path, as given to setFolders
    // The kernel lost events (or the folder itself went): entries is the
    // whole folder, read again; a name not among them is gone.
    bool complete = false;
    qint64 readAtNs = 0; // for a complete read: when it began
    std::vector<WatchedEntry> entries;
};

// The clock of readAtNs (steady, nanoseconds): a listing that began after a
// change was read already shows it.
qint64 folderWatchNowNs();

class FolderWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kPaceMs = 250;

    explicit FolderWatch(QObject *parent = nullptr);
    ~FolderWatch() override;

    // The folders (device paths) to follow from now on; any other is let go.
    // The watches are set up on the watch's thread.
    void setFolders(const QStringList &folders);
    // What changed since the last call, at most one record per folder.
    std::vector<FolderChanges> takeChanges();
    // Whether the folder's watch is in place.
    bool isLive(const QString &folder) const;

Q_SIGNALS:
    // Changes wait in takeChanges (sent once until they are taken).
    void changesReady();
    // The watches now follow the last setFolders.
    void foldersSet();

private:
    struct Shared;
    std::shared_ptr<Shared> d;
};

// Whether the open folder's file system tells of changes made by other
// machines or a FUSE daemon (network and FUSE mounts do not).
bool fileSystemTellsChanges(int folderFd);

} // namespace platform
