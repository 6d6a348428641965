#pragma once
#include "longwork.h"

#include <optional>

// Browsing reads the disk too (a folder's listing, an entry's facts, the
// tree's probes), and a network or FUSE mount may take long to answer or
// never answer. So on the UI thread a read runs the way long work's steps
// do: on the worker while the UI thread waits in its event loop, inside a
// long work scope of its own (the progress window past a second, with a
// Cancel that gives the read up) unless work already runs.
namespace platform {

// Opened around a browsing command's reads, so that one Cancel ends all of
// them; opens nothing off the UI thread or inside running work.
class ReadingScope {
public:
    ReadingScope();
    ReadingScope(const ReadingScope &) = delete;
    ReadingScope &operator=(const ReadingScope &) = delete;

private:
    std::optional<LongWork> m_work;
};

namespace detail {
bool onUiThread();
// Whether this read is not to start: the user stopped the browsing command
// it belongs to (the last error is ECANCELED then). Shows the path in the
// progress window of a browsing command.
bool readingStopped(const QString &path);
// Inside other work the user stopped, a read (the views refreshed after a
// stopped paste) is still waited for, not given up at once.
class PatientAfterStop {
public:
    PatientAfterStop();
    ~PatientAfterStop();
    PatientAfterStop(const PatientAfterStop &) = delete;
    PatientAfterStop &operator=(const PatientAfterStop &) = delete;

private:
    bool m_was;
};
} // namespace detail

// Runs a blocking read for browsing: on the UI thread as a step (inside a
// ReadingScope, the one given up after a Cancel), elsewhere right here.
// What runStep asks of a step holds: copied in, nothing captured by
// reference. A read given up, or not started after a Cancel, returns a
// default result.
template <class Work>
auto readStep(const QString &path, Work &&step) -> std::invoke_result_t<std::decay_t<Work> &>
{
    using Result = std::invoke_result_t<std::decay_t<Work> &>;
    if (!detail::onUiThread())
        return step();
    ReadingScope scope;
    if (detail::readingStopped(path)) {
        if constexpr (!std::is_void_v<Result>)
            return Result {};
        else
            return;
    }
    detail::PatientAfterStop patient;
    return runStep(std::forward<Work>(step), Step::Short);
}

} // namespace platform
