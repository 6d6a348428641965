#pragma once

#include <cerrno>

// Owned host file descriptors and the EINTR rule, for every room that makes
// system calls on descriptors.
namespace platform::detail {

// An owned file descriptor.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd();
    Fd(Fd &&other) noexcept : m_fd(other.release()) {}
    Fd &operator=(Fd &&other) noexcept;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int m_fd = -1;
};

// Calls a system call again while it fails with EINTR.
template<typename F>
auto retryOnIntr(F f)
{
    for (;;) {
        auto r = f();
        if (r != -1 || errno != EINTR)
            return r;
    }
}

} // namespace platform::detail
