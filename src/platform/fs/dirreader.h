#pragma once
#include "hostfs.h"

#include <memory>

// The names of an open folder, read straight from the kernel in large
// blocks: a listing makes one call per block and nothing more, where the C
// library's directory stream would first check and flag the descriptor.
namespace platform::detail {

class DirReader {
public:
    // Takes the descriptor, opened for reading.
    explicit DirReader(Fd dir);
    int fd() const { return m_dir.get(); }
    // The next name, null at the end or on an error (error() tells which).
    const char *next();
    int error() const { return m_error; }

private:
    Fd m_dir;
    std::unique_ptr<char[]> m_block;
    long m_filled = 0;
    long m_at = 0;
    int m_error = 0;
    bool m_ended = false;
};

} // namespace platform::detail
