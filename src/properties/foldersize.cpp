#include "foldersize.h"

#include "platform/fileattributes.h"
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
        if (platform::isWalkableSubfolder(base + data.name, data))
            sum += FolderSize(base + data.name);
        else if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)
            continue; // a mount inside counts nothing
        else
            sum += double(data.sizeHigh) * 4294967296.0 + double(data.sizeLow);
    } while (find.next(data));
    return sum;
}
