#include "fileclipboard.h"

#include "filelist/cfilelistview.h"
#include "fileops.h"
#include "platform/desktop/desktopclipboard.h"
#include "platform/fs/filesystem.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"
#include "tree/cdirtreeview.h"

FileClipboard::FileClipboard()
    : m_folderCopy(*this)
{
    m_takenConnection = QObject::connect(&platform::DesktopClipboard::instance(), &platform::DesktopClipboard::taken,
                                         [this] { m_bTaken = true; });
}

FileClipboard::~FileClipboard()
{
    QObject::disconnect(m_takenConnection);
    for (const QMetaObject::Connection &connection : std::as_const(m_dragDropConnections))
        QObject::disconnect(connection);
}

void FileClipboard::ApplyTaken()
{
    if (!m_bTaken)
        return;
    m_bTaken = false;
    m_nMode = 0;
    m_strSource.clear();
    m_names.clear();
}

bool FileClipboard::SetFileList(CFileListView *list)
{
    m_pFileList = list;
    ConnectDragDrop();
    return list != nullptr;
}

bool FileClipboard::SetTreeView(CDirTreeView *tree)
{
    m_pTreeView = tree;
    ConnectDragDrop();
    return tree != nullptr;
}

QString FileClipboard::SelectedPath() const
{
    return m_pTreeView ? m_pTreeView->GetSelectedPath() : QString();
}

void FileClipboard::RefreshTree()
{
    if (m_pTreeView)
        m_pTreeView->RefreshTree();
}

void FileClipboard::RefreshList()
{
    if (m_pFileList)
        m_pFileList->Refresh();
}

QWidget *FileClipboard::AppOwner() const
{
    return m_pTreeView ? m_pTreeView->window() : nullptr;
}

QWidget *FileClipboard::ListOwner() const
{
    return m_pFileList;
}

void FileClipboard::CutFromTree()
{
    ApplyTaken();
    m_strSource = SelectedPath();
    m_nMode = ClipFromTree | ClipCut;
    PublishToDesktop();
}

void FileClipboard::CopyFromTree()
{
    ApplyTaken();
    m_strSource = SelectedPath();
    m_nMode = ClipFromTree | ClipCopy;
    PublishToDesktop();
}

void FileClipboard::CutFromList()
{
    ApplyTaken();
    if (CollectListSelection() > 0) {
        m_strSource = SelectedPath();
        m_nMode = ClipFromList | ClipCut;
        PublishToDesktop();
    }
}

void FileClipboard::CopyFromList()
{
    ApplyTaken();
    if (CollectListSelection() > 0) {
        m_strSource = SelectedPath();
        m_nMode = ClipFromList | ClipCopy;
        PublishToDesktop();
    }
}

bool FileClipboard::HasContent() const
{
    return !m_bTaken
        && (((m_nMode & ClipFromList) && !m_names.isEmpty()) || ((m_nMode & ClipFromTree) && !m_strSource.isEmpty()));
}

bool FileClipboard::CanPaste() const
{
    return HasContent() || CanPasteFromDesktop();
}

bool FileClipboard::CanPasteShortcut() const
{
    return !m_bTaken && (m_nMode & ClipFromList) && !m_names.isEmpty();
}

unsigned FileClipboard::CollectListSelection()
{
    if (!m_pFileList)
        return 0;
    const QList<int> rows = m_pFileList->GetSelectedRows();
    if (rows.isEmpty())
        return 0;
    m_names.clear();
    for (int row : rows)
        m_names.append(m_pFileList->GetItemName(row));
    return unsigned(rows.size());
}

bool FileClipboard::FileExists(const QString &path)
{
    return fileops::FileExists(path);
}

bool FileClipboard::NewFolder()
{
    const QString folder = SelectedPath();
    platform::LongWork work(platform::WorkKind::Creating);
    const QString path = folder + fileops::NewFolderName(folder);
    if (!platform::runStep([path] { return platform::createDirectory(path); }, platform::Step::Short)) {
        platform::messageBox(AppOwner(), QStringLiteral("Failed to create folder"), QString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    RefreshTree();
    return true;
}

bool FileClipboard::WriteShortcut(const QString &target, const QString &file)
{
    return platform::runStep([target, file] { return fileops::WriteShortcut(target, file); }, platform::Step::Short);
}

void FileClipboard::PasteShortcut()
{
    ApplyTaken();
    PasteShortcutsInto(SelectedPath(), true);
}

void FileClipboard::PasteInStartMenu()
{
    ApplyTaken();
    PasteShortcutsInto(QStringLiteral("\\Windows\\Start menu\\"), false);
}

// A shortcut that cannot be written is skipped without a word; a device
// without the folder gets none.
void FileClipboard::PasteShortcutsInto(const QString &folder, bool reloadList)
{
    platform::LongWork work(platform::WorkKind::Creating);
    for (const QString &name : std::as_const(m_names)) {
        if (platform::stopRequested())
            break;
        const QString file = folder + fileops::ShortcutName(name);
        if (FileExists(file)
            && platform::messageBox(ListOwner(), QStringLiteral("Overwrite existing file ?"),
                                    QStringLiteral("Create Shortcut"),
                                    platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2)
                != platform::IDYES)
            continue;
        WriteShortcut(m_strSource + name, file);
        if (reloadList)
            RefreshList();
    }
}
