#pragma once
#include "fileentry.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// A folder listed ahead of the pane, on a thread of its own: the start-up
// reads the root while the splash screen is up, so that the pane's first
// listing of it only takes the result. One listing is kept at a time, for
// one taker.
namespace folderprefetch {

// The files (as the pane keeps them) and the names of the subfolders. The
// listing owns its files until they are moved out of it, so one nobody takes
// (a read given up on a hung mount) frees them when it goes.
struct Listing {
    Listing() = default;
    Listing(Listing &&other) noexcept;
    Listing &operator=(Listing &&other) noexcept;
    ~Listing() { deleteFiles(); }
    void deleteFiles();

    std::vector<FileEntry *> files;
    QStringList folders;
};

// Starts listing folder (a trailing backslash is dropped; the root is
// empty or "\"). A listing not taken yet is dropped.
void start(const QString &folder);
// The listing of folder when one was started for it, waited for if it is
// still being read, and forgotten here; false otherwise.
bool take(const QString &folder, Listing &out);
// Drops whatever was started and not taken.
void discard();

// Lists folder (without its final backslash) right here; a folder that
// cannot be read lists nothing.
Listing read(const QString &folder);

} // namespace folderprefetch
