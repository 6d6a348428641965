#pragma once
#include "foldercopy.h"
#include "platform/fs/entryid.h"
#include "refreshthrottle.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CDirTreeView;
class CFileListView;
class QWidget;

// The program's own clipboard of files and folders, and every file
// operation the frame's Edit and Files commands carry out: paste (copy or
// move), delete, new folder and shortcuts. Cut and copy only remember what
// to paste; nothing on disk changes until Paste.
class FileClipboard : private fileops::FolderCopyHost {
public:
    // Bits of the mode; only 0, 5, 6, 9 and 10 occur.
    enum Mode { ClipFromList = 1, ClipFromTree = 2, ClipCopy = 4, ClipCut = 8 };

    FileClipboard();
    virtual ~FileClipboard();
    FileClipboard(const FileClipboard &) = delete;
    FileClipboard &operator=(const FileClipboard &) = delete;

    bool SetFileList(CFileListView *list);
    bool SetTreeView(CDirTreeView *tree);

    void CutFromTree();
    void CopyFromTree();
    void CutFromList();
    void CopyFromList();
    bool CanPaste() const;
    bool CanPasteShortcut() const;
    // Puts the names of the list's selected rows into the name array, in
    // row order; with nothing selected it leaves the array as it was.
    unsigned CollectListSelection();
    static bool FileExists(const QString &path);

    void Paste();
    void PasteFiles();
    void PasteFolder();
    // records, when given: what the copy read and made (a move's).
    bool CopyFolder(const QString &source, const QString &target, fileops::CopyRecords *records = nullptr);
    bool MoveFolder(const QString &source, const QString &target);
    // The move between stores: copy S into T (as moved), flush, then delete
    // what was copied of S.
    bool MoveByCopy(const QString &source, const QString &target, const QString &moved);
    // copyFile under the wait cursor; ids, when given: what it read and made.
    static bool CopyOneFile(const QString &existing, const QString &newPath, bool failIfExists,
                            platform::CopiedIds *ids = nullptr);

    void DeleteFromTree();
    // True when the list was told to reload.
    bool DeleteFromList();
    bool DeleteFolderTree(const QString &folder);

    bool NewFolder();
    void PasteShortcut();
    void PasteInStartMenu();
    static bool WriteShortcut(const QString &target, const QString &file);

    int GetMode() const { return m_nMode; }
    const QString &GetSource() const { return m_strSource; }
    const QStringList &GetNames() const { return m_names; }

private:
    void CopyIntoSourceRefused() override;
    void CreateFolderFailed() override;
    void FolderCreated() override;
    void BetweenSteps() override;
    bool ContinueAfterFailedCopy(const QString &sourceFile) override;

    // The desktop's clipboard: cut and copy also put the entries there;
    // with nothing of its own, Paste takes other programs' files from it.
    bool HasContent() const;
    // Another program's newer copy empties this clipboard as a finished cut
    // does: marked when the desktop tells, applied as the next command
    // starts, so no running operation loses its names.
    void ApplyTaken();
    void PublishToDesktop() const;
    void WithdrawFromDesktop() const;
    bool CanPasteFromDesktop() const;
    void PasteFromDesktop();
    // Pastes entries (device paths) into a folder (ending in "\") as a
    // clipboard of them would, copied or cut: each folder as a folder, the
    // files of each folder together.
    void PasteEntries(const QStringList &paths, bool cut, const QString &target);
    // Paste of what the clipboard holds, as it holds it, into the folder.
    void PasteHeld(const QString &target);
    // Drops onto the panes, and the end of a drag out of them.
    void ConnectDragDrop();
    void DropEntries(const QStringList &paths, bool move, const QString &folder);
    bool EditingInPane() const; // a name editor of a pane is open

    void PasteShortcutsInto(const QString &folder, bool reloadList);
    QString SelectedPath() const;
    void RefreshTree();
    void RefreshList();
    QWidget *AppOwner() const;
    QWidget *ListOwner() const;

    int m_nMode = 0;
    QString m_strSource;  // ends with "\": the folder cut or copied, or the files' folder
    QString m_strTarget;  // the current folder at the time of the paste
    CDirTreeView *m_pTreeView = nullptr;  // not owned
    CFileListView *m_pFileList = nullptr; // not owned
    QStringList m_names;  // the files cut or copied; also the list delete's selection
    bool m_bFilesStopped = false; // the last file paste was ended before its last file
    bool m_bTaken = false; // the desktop's clipboard was taken since the last cut or copy
    QMetaObject::Connection m_takenConnection;
    QList<QMetaObject::Connection> m_dragDropConnections;
    fileops::FolderCopy m_folderCopy;
    fileops::RefreshThrottle m_folderRefresh {[this] { RefreshTree(); }};
};
