#include "folderprefetch.h"

#include "platform/attributes/fileattributes.h"
#include "platform/fs/findfile.h"

#include <mutex>
#include <thread>

namespace folderprefetch {

namespace {

QString withoutBackslash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('\\')) ? folder.chopped(1) : folder;
}

// The one listing under way or done. The thread is always joined before its
// listing is used or dropped.
struct Pending {
    std::mutex mutex;
    std::thread reader;
    QString folder;
    Listing listing;
    platform::FileTime changed = 0; // the folder's last-write time before it was read

    ~Pending() { drop(); }

    void drop()
    {
        if (reader.joinable())
            reader.join();
        listing.deleteFiles();
        listing.folders.clear();
        folder.clear();
    }
};

// Never destroyed: a start-up read stuck on a hung mount must not hold up
// the program's end.
Pending &pending()
{
    static Pending *one = new Pending;
    return *one;
}

// The folder's last-write time; 0 when it cannot be read.
platform::FileTime lastWrite(const QString &folder)
{
    platform::FindData data;
    return platform::findEntry(folder.isEmpty() ? QStringLiteral("\\") : folder, data) ? data.lastWriteTime : 0;
}

} // namespace

Listing::Listing(Listing &&other) noexcept
    : files(std::exchange(other.files, {}))
    , folders(std::move(other.folders))
{
}

Listing &Listing::operator=(Listing &&other) noexcept
{
    if (this != &other) {
        deleteFiles();
        files = std::exchange(other.files, {});
        folders = std::move(other.folders);
    }
    return *this;
}

void Listing::deleteFiles()
{
    for (FileEntry *entry : files)
        delete entry;
    files.clear();
}

Listing read(const QString &folder)
{
    Listing out;
    platform::FindFile find;
    platform::FindData data;
    if (!find.first(folder + QStringLiteral("\\*"), data))
        return out;
    do {
        if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY)
            out.folders.append(data.name);
        else
            out.files.push_back(new FileEntry(data));
    } while (find.next(data));
    return out;
}

void start(const QString &folder)
{
    Pending &p = pending();
    std::lock_guard lock(p.mutex);
    p.drop();
    p.folder = withoutBackslash(folder);
    p.reader = std::thread([&p, folder = p.folder] {
        p.changed = lastWrite(folder);
        p.listing = read(folder);
    });
}

bool take(const QString &folder, Listing &out)
{
    Pending &p = pending();
    std::lock_guard lock(p.mutex);
    if (!p.reader.joinable() || p.folder != withoutBackslash(folder))
        return false;
    p.reader.join();
    // A file added, removed or renamed since: the listing is not the folder's.
    if (p.changed == 0 || lastWrite(p.folder) != p.changed) {
        p.drop();
        return false;
    }
    out = std::move(p.listing);
    p.listing = Listing();
    p.folder.clear();
    return true;
}

void discard()
{
    Pending &p = pending();
    std::lock_guard lock(p.mutex);
    p.drop();
}

} // namespace folderprefetch
