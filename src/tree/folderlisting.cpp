#include "folderlisting.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"
#include "platform/work/readstep.h"

FolderListing FolderListing::read(const QString &path)
{
    // The whole listing is one read: a slow mount never holds the window.
    return platform::readStep(path, [path] {
        FolderListing listing;
        platform::FindFile find;
        platform::FindData data;
        if (find.first(path + QStringLiteral("*.*"), data)) {
            do {
                listing.entries.insert(data.name);
                if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)
                    listing.folders.append(data.name);
            } while (find.next(data));
        }
        return listing;
    });
}

FolderListing FolderListing::fromFolderNames(const QStringList &folders)
{
    FolderListing listing;
    listing.folders = folders;
    listing.entries = QSet<QString>(folders.begin(), folders.end());
    return listing;
}
