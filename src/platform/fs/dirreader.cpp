#include "dirreader.h"

#include <cerrno>
#include <cstddef>

#include <sys/syscall.h>
#include <unistd.h>

namespace platform::detail {

namespace {

constexpr long kBlock = 32768; // as the C library reads a folder

// The kernel's record for one entry (getdents64).
struct KernelDirent {
    quint64 ino;
    qint64 off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

} // namespace

DirReader::DirReader(Fd dir) : m_dir(std::move(dir)), m_block(new char[kBlock]) {}

const char *DirReader::next()
{
    while (m_at >= m_filled) {
        if (m_ended)
            return nullptr;
        const long n = retryOnIntr([&] { return ::syscall(SYS_getdents64, m_dir.get(), m_block.get(), kBlock); });
        if (n <= 0) {
            m_ended = true;
            m_error = n < 0 ? errno : 0;
            return nullptr;
        }
        m_filled = n;
        m_at = 0;
    }
    const auto *entry = reinterpret_cast<const KernelDirent *>(m_block.get() + m_at);
    m_at += entry->reclen;
    return m_block.get() + m_at - entry->reclen + offsetof(KernelDirent, name);
}

} // namespace platform::detail
