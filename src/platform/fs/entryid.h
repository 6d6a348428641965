#pragma once
#include <QString>
#include <QtGlobal>

namespace platform {

// Which file an entry is, and as it was then: work that deletes what it
// copied takes this when it reads an entry and compares it before deleting,
// so an entry written, replaced or changed meanwhile is told apart.
struct EntryId {
    quint32 devMajor = 0;
    quint32 devMinor = 0;
    quint64 inode = 0;
    qint64 changeSeconds = 0;
    quint32 changeNanoseconds = 0;
    quint64 size = 0;

    bool isValid() const { return inode != 0; }
    // The same file or folder (device and inode), changed or not.
    bool sameObject(const EntryId &other) const
    {
        return isValid() && inode == other.inode && devMajor == other.devMajor && devMinor == other.devMinor;
    }
    // The same file, not changed since (a change of content, name count,
    // mode or attributes moves its change time).
    bool unchangedSince(const EntryId &then) const
    {
        return sameObject(then) && changeSeconds == then.changeSeconds
            && changeNanoseconds == then.changeNanoseconds && size == then.size;
    }
};

// What the copy of one file read and made.
struct CopiedIds {
    EntryId source; // as it was opened for the copy (a link: the link itself)
    EntryId made;   // the new file as named
};

// The entry at a device path: the last name's link itself, or with follow
// what it leads to. The device root can be asked too.
bool entryIdentity(const QString &path, EntryId &out, bool follow = false);

} // namespace platform
