#include "terminationrequests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t writeEnd = -1;

// Only async-signal-safe calls here: the byte wakes the UI thread.
void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (writeEnd >= 0) {
        const ssize_t written = ::write(writeEnd, &byte, 1); // a full pipe already has a request
        static_cast<void>(written);
    }
    errno = savedErrno;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationRequests::TerminationRequests(QObject *parent)
    : QObject(parent)
{
    int ends[2];
    if (writeEnd >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default effect
    m_readEnd = ends[0];
    writeEnd = ends[1];
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::readPending);
    setHandler(onSignal);
}

TerminationRequests::~TerminationRequests()
{
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    ::close(writeEnd);
    writeEnd = -1;
    ::close(m_readEnd);
}

void TerminationRequests::readPending()
{
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(m_readEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT requested(bytes[i]);
    }
}

} // namespace platform
