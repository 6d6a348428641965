#pragma once
#include <QSet>
#include <QString>
#include <QStringList>

// One read of a folder ("\" or a path ending with a backslash): the names of
// all its entries and, in the order found, those that are folders. A folder
// that cannot be read lists nothing.
struct FolderListing {
    QSet<QString> entries;
    QStringList folders;

    static FolderListing read(const QString &path);
    // From a listing made elsewhere that kept only the folders' names.
    static FolderListing fromFolderNames(const QStringList &folders);
};
