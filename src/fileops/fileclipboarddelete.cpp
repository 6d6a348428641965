#include "fileclipboard.h"

#include "filelist/cfilelistview.h"
#include "fileops.h"
#include "folderdelete.h"
#include "platform/fs/longworkcount.h"
#include "platform/ui/messagebox.h"
#include "platform/work/longwork.h"

void FileClipboard::DeleteFromTree()
{
    const QString folder = fileops::WithoutFinalBackslash(SelectedPath());
    if (folder.isEmpty())
        return;
    // Taken before the question: the folder the user is asked about is the
    // one deleted, or nothing is.
    auto tree = std::make_shared<fileops::TreeToDelete>();
    platform::runStep([tree, folder] { return tree->take(folder); }, platform::Step::Short);
    if (platform::messageBox(AppOwner(), QStringLiteral("Delete '") + folder + QStringLiteral("' and everything in it?"),
                             QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    platform::LongWork work(platform::WorkKind::Deleting);
    platform::countBeside(work, {folder});
    // Stopped by the user, it says nothing but shows what is left.
    if (platform::runStep([tree] { return tree->deleteAll(); }) || platform::stopRequested())
        RefreshTree();
    else
        platform::messageBox(AppOwner(), QStringLiteral("Failed to delete"), QString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool FileClipboard::DeleteFolderTree(const QString &folder)
{
    return platform::runStep([folder] { return fileops::DeleteFolderTree(folder); });
}

bool FileClipboard::DeleteFromList()
{
    ApplyTaken();
    constexpr unsigned kAsk = platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2;
    qsizetype count = 0;
    bool running = true;
    if (CollectListSelection() > 0) {
        count = m_names.size();
        running = platform::messageBox(ListOwner(), QStringLiteral("Delete all selected files?"),
                                       QStringLiteral("Delete files"), kAsk)
            == platform::IDYES;
        platform::LongWork work(platform::WorkKind::Deleting);
        platform::currentWork()->totalFiles.store(count);
        for (qsizetype i = 0; running && i < count; ++i) {
            const QString &name = m_names.at(i);
            const QString full = SelectedPath() + name;
            // A stop asked for in the progress window ends the run as a No does.
            if (!platform::beginStep(full)) {
                running = false;
                break;
            }
            if (platform::runStep([full] { return fileops::DeleteClearedFile(full); }, platform::Step::Short)) {
                platform::noteFileDone();
                continue;
            }
            if (i + 1 < count) {
                running = platform::messageBox(ListOwner(),
                                               QStringLiteral("Failed to delete ") + name
                                                   + QStringLiteral(". Continue deleting?"),
                                               QStringLiteral("Continue?"), kAsk)
                    == platform::IDYES;
            } else {
                platform::messageBox(ListOwner(), QStringLiteral("Failed to delete ") + name,
                                     QStringLiteral("Delete"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
                running = false;
            }
        }
    }
    // The name array is the clipboard's too: what was cut or copied is gone.
    m_names.clear();
    if (!HasContent())
        WithdrawFromDesktop();
    if (count > 1 || running) {
        RefreshList();
        return true;
    }
    return false;
}
