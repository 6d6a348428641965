#pragma once
#include "platform/base/finddata.h"

#include <memory>

namespace platform {

namespace detail {
class EntryBatch;
}

// Find-first/find-next over "folder\pattern". Wildcards * and ? match
// case-insensitively; "*.*" matches every name, with or without a dot; "."
// and ".." are never yielded. A pattern without wildcards finds that one
// entry or nothing. A symbolic link carries FILE_ATTRIBUTE_REPARSE_POINT: a
// link to a file reports its file's size, times and attributes besides, a
// link to a folder FILE_ATTRIBUTE_DIRECTORY, a broken link its own size and
// times. A folder's entries are read ahead in batches, a few at a time.
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
    static std::unique_ptr<detail::EntryBatch> readAhead(State &state);
    std::unique_ptr<State> d;
};

// The entry at an exact path, as a search would yield it; * and ? in the
// name are taken literally.
bool findEntry(const QString &path, FindData &out);

} // namespace platform
