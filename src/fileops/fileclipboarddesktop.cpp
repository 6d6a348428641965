// The desktop's clipboard beside the program's own.
#include "fileclipboard.h"

#include "fileops.h"
#include "platform/attributes/fileattributes.h"
#include "platform/desktop/desktopclipboard.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/longworkcount.h"
#include "platform/work/longwork.h"

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
    PasteEntries(paths, cut);
    // Moved entries are pasted once, as other file managers do.
    if (cut && desktop.foreignFiles() == paths)
        desktop.clear();
}

void FileClipboard::PasteEntries(const QStringList &paths, bool cut)
{
    if (paths.isEmpty())
        return;
    // Folders go by the folder road one by one, the files together by the
    // files road, all in one operation under one progress window.
    const QString parent = parentOf(paths.first());
    QStringList folders, names;
    for (const QString &path : paths) {
        const quint32 attributes = platform::getFileAttributes(path);
        if (attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY))
            folders.append(path);
        else
            names.append(path.mid(parent.size()));
    }
    const QString target = fileops::WithoutFinalBackslash(SelectedPath());
    platform::LongWork work(cut ? platform::WorkKind::Moving : platform::WorkKind::Copying);
    QStringList counted;
    for (const QString &folder : std::as_const(folders)) {
        // What is renamed or refused moves no bytes.
        const bool copies = !cut || fileops::TopLevelFolder(folder) != fileops::TopLevelFolder(target);
        if (copies && !fileops::FolderCopy::IntoSource(folder, target))
            counted.append(folder);
    }
    for (const QString &name : std::as_const(names))
        counted.append(parent + name);
    platform::countBeside(work, counted);

    const auto pasteAs = [this](int mode, QString source, QStringList names) {
        std::swap(m_nMode, mode);
        std::swap(m_strSource, source);
        std::swap(m_names, names);
        PasteHeld(); // what it holds now, whatever the desktop does meanwhile
        std::swap(m_nMode, mode);
        std::swap(m_strSource, source);
        std::swap(m_names, names);
    };
    const int how = cut ? ClipCut : ClipCopy;
    for (const QString &folder : std::as_const(folders)) {
        pasteAs(ClipFromTree | how, folder + u'\\', {});
        // Cancel, or No to going on after a failed file, ends the whole paste.
        if (platform::stopRequested() || m_folderCopy.Stopped())
            return;
    }
    if (!names.isEmpty())
        pasteAs(ClipFromList | how, parent, names);
}
