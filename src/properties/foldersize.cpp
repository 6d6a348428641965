#include "foldersize.h"

#include "platform/findfile.h"
#include "platform/walkguard.h"

double FolderSize(const QString &folder)
{
    QString base = folder;
    if (!base.endsWith(u'\\'))
        base += u'\\';
    if (platform::isPseudoFileSystem(base))
        return 0;
    platform::FindFile find;
    platform::FindData data;
    if (!find.first(base + QStringLiteral("*.*"), data))
        return 0;
    double sum = 0;
    do {
        if (platform::isLinkEntry(data))
            continue;
        if (platform::isWalkableFolder(data))
            sum += FolderSize(base + data.name);
        else
            sum += double(data.sizeHigh) * 4294967296.0 + double(data.sizeLow);
    } while (find.next(data));
    return sum;
}
