#include "openfile.h"

#include "filetypeinfo.h"
#include "platform/shell/openwith.h"
#include "platform/shell/shell.h"
#include "platform/ui/messagebox.h"

bool OpenFile(const QString &path, QWidget *owner)
{
    if (path.isEmpty())
        return false;

    FileTypeInfo info;
    info.SetPath(path);
    QString program;
    QString arguments;
    if (!info.SplitOpenCommand(program, arguments)) {
        platform::messageBox(owner, QStringLiteral("No open command is registered for this filetype"),
                             QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }

    if (!platform::createProcess(program, arguments)) {
        platform::messageBox(owner, QStringLiteral("Failed to execute ") + program + u' '
                                 + platform::readableCommandLine(arguments),
                             QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool OpenFileWith(const QString &path, const QString &command, QWidget *owner)
{
    if (path.isEmpty())
        return false;
    if (!platform::openWithApplication(command, path)) {
        platform::messageBox(owner, QStringLiteral("Failed to execute ") + command, QString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
