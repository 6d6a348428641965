#pragma once
#include "finddata.h"

#include <memory>

namespace platform {

// Find-first/find-next over "folder\pattern". Wildcards * and ? match
// case-insensitively; "*.*" matches every name, with or without a dot; "."
// and ".." are never yielded. A pattern without wildcards finds that one
// entry or nothing. Symbolic links report the link's own times and size,
// FILE_ATTRIBUTE_REPARSE_POINT, and FILE_ATTRIBUTE_DIRECTORY when they point
// to a folder.
class FindFile {
public:
    FindFile();
    ~FindFile();
    FindFile(const FindFile &) = delete;
    FindFile &operator=(const FindFile &) = delete;

    // Starts a search; false (last error set) when nothing matches or the
    // folder cannot be read. Any earlier search of this object is closed.
    bool first(const QString &pattern, FindData &out);
    // The next match; false at the end (last error ENOENT) or on failure.
    bool next(FindData &out);
    void close();
    bool isOpen() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// The entry at an exact path (no wildcards), as a search would yield it.
bool findEntry(const QString &path, FindData &out);

} // namespace platform
