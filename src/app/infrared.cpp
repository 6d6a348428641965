#include "infrared.h"

#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/fs/findfile.h"
#include "platform/fs/walkguard.h"
#include "platform/shell/shell.h"
#include "platform/shell/spawn.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/waitcursor.h"
#include "platform/work/longwork.h"

#include <QFile>

using namespace platform;

namespace infrared {

namespace {

void warn(QWidget *owner, const QString &text)
{
    messageBox(owner, text, QString(), MB_ICONEXCLAMATION);
}

enum class ToolRun { Ended, Cancelled, NotStarted };

// Runs the tool to its end. The window keeps painting meanwhile; Cancel in
// the progress window ends the tool, and the transfer with it.
ToolRun runTool(const QList<QByteArray> &arguments, const QString &what)
{
    const QString tool = findProgramOnPath(QString::fromLatin1(kToolName));
    if (tool.isEmpty())
        return ToolRun::NotStarted;
    SpawnRequest request;
    request.program = QFile::encodeName(tool);
    request.arguments = arguments;
    request.environment.append({kRootVariable, QFile::encodeName(deviceRoot())});
    request.wait = true;
    WaitCursor wait;
    LongWork work(WorkKind::Transferring);
    if (!beginStep(what))
        return ToolRun::Cancelled;
    // A tool that does not end when told is left to itself.
    if (!runStep([request] { return spawnProcess(request); }))
        return stopRequested() ? ToolRun::Cancelled : ToolRun::NotStarted;
    return stopRequested() ? ToolRun::Cancelled : ToolRun::Ended;
}

// Root entries that carry the archive mark. Links are never received and
// nothing can be stored on them, so they take no part.
bool isMarked(const FindData &data)
{
    return (data.attributes & FILE_ATTRIBUTE_ARCHIVE) && !isLinkEntry(data);
}

// Clears the mark on everything in the root; false when it cannot be
// cleared somewhere.
bool prepareRoot()
{
    FindFile find;
    FindData data;
    if (!find.first(QStringLiteral("\\*"), data))
        return true;
    do {
        if (isMarked(data)
            && !setFileAttributes(u'\\' + data.name, data.attributes & ~FILE_ATTRIBUTE_ARCHIVE))
            return false;
    } while (find.next(data));
    return true;
}

ToolRun send(QWidget *owner, const QString &path)
{
    // The whole path is the one argument, blanks and all.
    const QByteArray hostPath = hostPathFromDevice(path);
    const ToolRun run = hostPath.isEmpty() ? ToolRun::NotStarted : runTool({hostPath}, path);
    if (run == ToolRun::NotStarted)
        warn(owner, QStringLiteral("Failed to start sending"));
    return run;
}

} // namespace

bool SendFile(QWidget *owner, const QString &path)
{
    return send(owner, path) != ToolRun::NotStarted;
}

bool SendFolder(QWidget *owner, const QString &folder)
{
    FindFile find;
    FindData data;
    if (!find.first(folder + u'*', data))
        return true;
    do {
        if (data.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link to a folder or a mount inside is neither a file to send nor walked through.
            if (isWalkableSubfolder(folder + data.name, data) && !SendFolder(owner, folder + data.name + u'\\'))
                return false;
            continue;
        }
        const int answer = messageBox(owner, QStringLiteral("Send file '%1'?").arg(data.name), QString(),
                                      MB_OKCANCEL | MB_ICONQUESTION);
        // A send cancelled in the progress window ends the whole transfer, as Cancel here does.
        if (answer != IDOK || send(owner, folder + data.name) == ToolRun::Cancelled)
            return false;
    } while (find.next(data));
    return true;
}

void ReceiveFiles(QWidget *owner, const QString &destination)
{
    if (!prepareRoot()) {
        warn(owner, QStringLiteral("Failed to prepare for receiving"));
        return;
    }
    switch (runTool({}, QStringLiteral("\\"))) {
    case ToolRun::NotStarted:
        warn(owner, QStringLiteral("Failed to start receiving"));
        return;
    case ToolRun::Cancelled:
        return; // what the tool left in the root may be half-written: it stays there
    case ToolRun::Ended:
        break;
    }
    // Received into the root, they are where they belong already.
    if (destination == QLatin1String("\\"))
        return;
    // The names first: the folder changes while they are moved out of it.
    QStringList received;
    FindFile find;
    FindData data;
    if (find.first(QStringLiteral("\\*"), data)) {
        do {
            if (isMarked(data))
                received.append(data.name);
        } while (find.next(data));
    }
    find.close();
    for (const QString &name : received) {
        if (!moveFile(u'\\' + name, destination + name))
            warn(owner, QStringLiteral("Failed to move '%1' to '%2'").arg(name, destination));
    }
}

} // namespace infrared
