// The desktop's clipboard beside the program's own.
#include "fileclipboard.h"

#include "fileops.h"
#include "platform/attributes/fileattributes.h"
#include "platform/desktop/desktopclipboard.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/longworkcount.h"
#include "platform/work/longwork.h"

#include <algorithm>

namespace {
QString parentOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'\\') + 1);
}
} // namespace

void FileClipboard::PublishToDesktop() const
{
    QStringList paths;
    if (m_nMode & ClipFromList) {
        for (const QString &name : m_names)
            paths.append(m_strSource + name);
    } else {
        paths.append(fileops::WithoutFinalBackslash(m_strSource));
    }
    platform::DesktopClipboard::instance().publish(paths, m_nMode & ClipCut);
}

void FileClipboard::WithdrawFromDesktop() const
{
    platform::DesktopClipboard::instance().withdraw();
}

// What the program's own clipboard could hold: one entry, or entries of one
// folder. The device itself is never pasted.
bool FileClipboard::CanPasteFromDesktop() const
{
    const QStringList &paths = platform::DesktopClipboard::instance().foreignFiles();
    if (paths.isEmpty())
        return false;
    const QString parent = parentOf(paths.first());
    for (const QString &path : paths)
        if (path == QLatin1String("\\") || parentOf(path) != parent)
            return false;
    return true;
}

// The entries are pasted as if they had been cut or copied here, so the
// same questions and refusals apply; the program's own clipboard stays as
// it was.
void FileClipboard::PasteFromDesktop()
{
    if (!CanPasteFromDesktop())
        return;
    platform::DesktopClipboard &desktop = platform::DesktopClipboard::instance();
    const QStringList paths = desktop.foreignFiles();
    const bool cut = desktop.isForeignCut();
    PasteEntries(paths, cut, SelectedPath());
    // Moved entries are pasted once, as other file managers do.
    if (cut && desktop.foreignFiles() == paths)
        desktop.clear();
}

void FileClipboard::PasteEntries(const QStringList &paths, bool cut, const QString &targetFolder)
{
    if (paths.isEmpty())
        return;
    // Folders go by the folder road one by one, the files of each folder
    // together by the files road, all in one operation under one progress
    // window.
    QStringList folders;
    QList<std::pair<QString, QStringList>> files; // by folder, in the order first met
    for (const QString &path : paths) {
        const quint32 attributes = platform::getFileAttributes(path);
        if (attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY)) {
            folders.append(path);
            continue;
        }
        const QString parent = parentOf(path);
        auto group = std::find_if(files.begin(), files.end(), [&](const auto &g) { return g.first == parent; });
        if (group == files.end())
            group = files.insert(files.end(), {parent, {}});
        group->second.append(path.mid(parent.size()));
    }
    const QString target = fileops::WithoutFinalBackslash(targetFolder);
    platform::LongWork work(cut ? platform::WorkKind::Moving : platform::WorkKind::Copying);
    QStringList counted;
    for (const QString &folder : std::as_const(folders)) {
        // What is renamed or refused moves no bytes.
        const bool copies = !cut || fileops::TopLevelFolder(folder) != fileops::TopLevelFolder(target);
        if (copies && !fileops::FolderCopy::IntoSource(folder, target))
            counted.append(folder);
    }
    for (const auto &[parent, names] : std::as_const(files))
        for (const QString &name : names)
            counted.append(parent + name);
    platform::countBeside(work, counted);

    const auto pasteAs = [this, &targetFolder](int mode, QString source, QStringList names) {
        std::swap(m_nMode, mode);
        std::swap(m_strSource, source);
        std::swap(m_names, names);
        PasteHeld(targetFolder); // what it holds now, whatever the desktop does meanwhile
        std::swap(m_nMode, mode);
        std::swap(m_strSource, source);
        std::swap(m_names, names);
    };
    const int how = cut ? ClipCut : ClipCopy;
    // Cancel, or No to going on after a failed file, ends the whole paste.
    const auto stopped = [this] { return platform::stopRequested() || m_folderCopy.Stopped(); };
    for (const QString &folder : std::as_const(folders)) {
        pasteAs(ClipFromTree | how, folder + u'\\', {});
        if (stopped())
            return;
    }
    for (const auto &[parent, names] : std::as_const(files)) {
        pasteAs(ClipFromList | how, parent, names);
        if (platform::stopRequested() || m_bFilesStopped)
            return;
    }
}
