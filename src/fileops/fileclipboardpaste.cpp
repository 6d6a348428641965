#include "fileclipboard.h"

#include "filelist/cfilelistview.h"
#include "fileops.h"
#include "folderdelete.h"
#include "platform/fs/entryid.h"
#include "platform/base/lasterror.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/folderhandle.h"
#include "platform/fs/longworkcount.h"
#include "platform/fs/walkguard.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/waitcursor.h"
#include "platform/work/longwork.h"
#include "tree/cdirtreeview.h"

void FileClipboard::Paste()
{
    ApplyTaken();
    if (!HasContent()) {
        PasteFromDesktop();
        return;
    }
    PasteHeld(SelectedPath());
    if (m_nMode & ClipCut)
        WithdrawFromDesktop(); // moved: other programs must not paste it again
}

void FileClipboard::PasteHeld(const QString &target)
{
    m_strTarget = target;
    const bool cut = m_nMode & ClipCut;
    platform::LongWork work(cut ? platform::WorkKind::Moving : platform::WorkKind::Copying);
    if (m_nMode & ClipFromList) {
        QStringList sources;
        for (const QString &name : std::as_const(m_names))
            sources.append(m_strSource + name);
        platform::countBeside(work, sources);
        PasteFiles();
    } else {
        const QString source = fileops::WithoutFinalBackslash(m_strSource);
        const QString target = fileops::WithoutFinalBackslash(m_strTarget);
        // A rename moves no bytes, and a copy into its source is refused
        // before it copies any: nothing to count.
        const bool copies = !cut || fileops::TopLevelFolder(source) != fileops::TopLevelFolder(target);
        if (copies && !fileops::FolderCopy::IntoSource(source, target))
            platform::countBeside(work, {source});
        PasteFolder();
    }
}

bool FileClipboard::CopyOneFile(const QString &existing, const QString &newPath, bool failIfExists,
                                platform::CopiedIds *ids)
{
    platform::WaitCursor wait;
    if (!platform::beginStep(existing))
        return false;
    const auto copied = platform::runStep([existing, newPath, failIfExists]() -> std::optional<platform::CopiedIds> {
        platform::CopiedIds made;
        if (!platform::copyFile(existing, newPath, failIfExists, &made))
            return std::nullopt;
        return made;
    });
    if (!copied)
        return false;
    if (ids)
        *ids = *copied;
    platform::noteFileDone();
    return true;
}

void FileClipboard::PasteFiles()
{
    const qsizetype count = m_names.size();
    const bool cut = m_nMode & ClipCut;
    // Cut files go from the folder they were found in when the paste
    // began, not from whatever the path leads to by the time they go.
    const auto folder = std::make_shared<platform::FolderHandle>();
    if (cut)
        platform::runStep([folder, source = m_strSource] { return folder->open(source); }, platform::Step::Short);
    bool running = true;
    for (qsizetype i = 0; running && i < count; ++i) {
        // A stop asked for in the progress window ends the paste as a No does.
        if (platform::stopRequested()) {
            running = false;
            break;
        }
        const QString &name = m_names.at(i);
        const QString from = m_strSource + name;
        const QString to = m_strTarget + name;
        if (FileExists(to))
            running = platform::messageBox(ListOwner(), to + QStringLiteral(" already exists, do you want to overwrite it?"),
                                           QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                == platform::IDYES;
        if (!running)
            break;
        platform::CopiedIds copied;
        if (!CopyOneFile(from, to, false, &copied)) {
            if (platform::stopRequested()) {
                running = false;
                break;
            }
            const QString failed = QStringLiteral("Failed to copy ") + from;
            if (count > 1) {
                running = platform::messageBox(nullptr, failed + QStringLiteral("\nContinue Copy?"),
                                               QStringLiteral("Error"), platform::MB_YESNO)
                    == platform::IDYES;
            } else {
                platform::messageBox(nullptr, failed, QStringLiteral("Error"), platform::MB_OK);
                running = false;
            }
            continue;
        }
        if (!cut)
            continue;
        fileops::BeforeMoveDelete();
        // The copy must be on disk before its only other instance goes, and
        // only the file copied goes: not one written or put there since.
        const platform::EntryId source = copied.source;
        if (!platform::runStep([folder, name, from, to, source] {
                return platform::flushFileSystem(to) && fileops::DeleteClearedFileIfUnchanged(*folder, name, from, source);
            }))
            platform::messageBox(ListOwner(), QStringLiteral("Could not delete file ") + from, QString(),
                                 platform::MB_OK);
    }
    if (cut)
        m_names.clear(); // cut files are pasted once
    m_bFilesStopped = !running;
    if (count > 1 || running)
        RefreshList();
}

void FileClipboard::PasteFolder()
{
    if (m_nMode & ClipCopy)
        CopyFolder(m_strSource, m_strTarget);
    else
        MoveFolder(m_strSource, m_strTarget);
}

bool FileClipboard::CopyFolder(const QString &source, const QString &target, fileops::CopyRecords *records)
{
    platform::WaitCursor wait;
    const bool copied = m_folderCopy.CopyFolder(source, target, records);
    m_folderRefresh.flush(); // the views end up showing every folder made
    return copied;
}

bool FileClipboard::MoveFolder(const QString &sourcePath, const QString &targetPath)
{
    const QString source = fileops::WithoutFinalBackslash(sourcePath);
    const QString target = fileops::WithoutFinalBackslash(targetPath);
    const QString name = fileops::LastComponent(source);
    const QString moved = target + u'\\' + name;
    bool done;
    if (fileops::TopLevelFolder(source) != fileops::TopLevelFolder(target)) {
        done = MoveByCopy(source, target, moved);
    } else {
        done = platform::runStep([source, moved] { return platform::moveFile(source, moved); }, platform::Step::Short);
        // A mount inside a top-level folder makes it more than one store, and
        // no rename crosses it: the move goes the way of a move between them.
        if (!done && platform::lastError().code == EXDEV && !platform::stopRequested())
            done = MoveByCopy(source, target, moved);
    }
    // A cancel is the user's own choice: nothing to report.
    if (done || platform::stopRequested())
        RefreshTree();
    else
        platform::messageBox(AppOwner(), QStringLiteral("Error moving directory ") + name, QString(),
                             platform::MB_OK);
    return done;
}

bool FileClipboard::MoveByCopy(const QString &source, const QString &target, const QString &moved)
{
    // The source is held from the start: its delete works on the folder
    // copied, or on nothing when another is at its path by then.
    auto tree = std::make_shared<fileops::TreeToDelete>();
    platform::runStep([tree, source] { return tree->take(source); }, platform::Step::Short);
    fileops::CopyRecords records;
    bool done = CopyFolder(source, target, &records);
    if (!done && platform::stopRequested()) {
        // Cancelled: what the copy made goes again, and only that.
        platform::runStep([moved, made = records.made] {
            fileops::TreeToDelete partial;
            return partial.take(moved) && partial.deleteRecorded(*made, false);
        });
    } else if (done) {
        // Nothing of the source goes before its copy is complete and on
        // disk, and then only what was copied, as it was copied.
        done = platform::runStep([moved] { return platform::flushFileSystem(moved); });
        if (done) {
            fileops::BeforeMoveDelete();
            done = platform::runStep([tree, read = records.read] { return tree->deleteRecorded(*read, true); });
        }
    }
    return done;
}

void FileClipboard::CopyIntoSourceRefused()
{
    m_folderRefresh.flush(); // what has been done shows before anything is asked
    platform::messageBox(AppOwner(), QStringLiteral("Can not copy into source."), QString(),
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void FileClipboard::CreateFolderFailed()
{
    m_folderRefresh.flush();
    platform::messageBox(AppOwner(), QStringLiteral("Failed to create folder"), QString(),
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void FileClipboard::FolderCreated()
{
    m_folderRefresh.request();
}

void FileClipboard::BetweenSteps()
{
    m_folderRefresh.catchUp();
}

bool FileClipboard::ContinueAfterFailedCopy(const QString &sourceFile)
{
    m_folderRefresh.flush();
    return platform::messageBox(nullptr, QStringLiteral("Failed to copy ") + sourceFile + QStringLiteral("\nContinue Copy?"),
                                QStringLiteral("Error"), platform::MB_YESNO)
        == platform::IDYES;
}
