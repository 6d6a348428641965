#pragma once
// What every platform test includes, and helpers they share.
#include "common/devicefixture.h"
#include "common/testsuite.h"
#include "platform/fileattributes.h"
#include "platform/filesystem.h"
#include "platform/findfile.h"
#include "platform/lasterror.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace platformtest {

// Names a search yields, sorted.
inline QStringList findAll(const QString &pattern)
{
    QStringList names;
    platform::FindFile find;
    platform::FindData data;
    for (bool more = find.first(pattern, data); more; more = find.next(data))
        names.append(data.name);
    names.sort();
    return names;
}

// Names in a host folder, dot files included: for spotting left-over temporary files.
inline QStringList hostEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

inline bool makeLink(const testsupport::TempDeviceRoot &root, const char *target, const QString &devicePath)
{
    return ::symlink(target, QFile::encodeName(root.host(devicePath)).constData()) == 0;
}

} // namespace platformtest
