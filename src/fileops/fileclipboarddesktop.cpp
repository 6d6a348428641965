// The desktop's clipboard beside the program's own.
#include "fileclipboard.h"

#include "fileops.h"
#include "platform/attributes/fileattributes.h"
#include "platform/desktop/desktopclipboard.h"
#include "platform/fs/filesystem.h"

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

// The files are pasted as if they had been cut or copied here, so the same
// questions and refusals apply; the program's own clipboard stays as it was.
void FileClipboard::PasteFromDesktop()
{
    if (!CanPasteFromDesktop())
        return;
    platform::DesktopClipboard &desktop = platform::DesktopClipboard::instance();
    const QStringList paths = desktop.foreignFiles();
    const bool cut = desktop.isForeignCut();

    int mode = cut ? ClipCut : ClipCopy;
    QString source;
    QStringList names;
    const quint32 attributes = platform::getFileAttributes(paths.first());
    if (paths.size() == 1 && attributes != platform::INVALID_FILE_ATTRIBUTES
        && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY)) {
        mode |= ClipFromTree;
        source = paths.first() + u'\\';
    } else {
        mode |= ClipFromList;
        source = parentOf(paths.first());
        for (const QString &path : paths)
            names.append(path.mid(source.size()));
    }
    std::swap(m_nMode, mode);
    std::swap(m_strSource, source);
    std::swap(m_names, names);
    Paste();
    std::swap(m_nMode, mode);
    std::swap(m_strSource, source);
    std::swap(m_names, names);

    // Moved files are pasted once, as other file managers do.
    if (cut && desktop.foreignFiles() == paths)
        desktop.clear();
}
