#include "platform/TerminationSignals.h"

#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

namespace {
// Where the handler writes: the socket of the newest live instance.
std::atomic<int> writeSocket{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

// Async-signal-safe only: one write() of one byte, errno left as it was. A full
// socket drops the byte, and a quit is already on its way then.
void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int socket = writeSocket.load();
    if (socket >= 0) {
        const char byte = static_cast<char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(socket, &byte, 1);
    }
    errno = savedErrno;
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_sockets) != 0) {
        m_sockets[0] = m_sockets[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);
    m_previousWriteSocket = writeSocket.exchange(m_sockets[1]);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], nullptr, &m_previous[i]);
        // A signal the program was started to ignore (nohup, a background
        // job's SIGINT) stays ignored.
        if (m_previous[i].sa_handler != SIG_IGN)
            ::sigaction(kSignals[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    writeSocket.store(m_previousWriteSocket);
    delete m_notifier;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void TerminationSignals::readSignals()
{
    const QPointer<TerminationSignals> self(this);
    char bytes[16];
    for (;;) {
        const ssize_t count = ::read(m_sockets[0], bytes, sizeof bytes);
        if (count <= 0)
            return; // drained (EAGAIN), or interrupted: the notifier comes back for the rest
        for (ssize_t i = 0; i < count && self; ++i)
            emit received(static_cast<unsigned char>(bytes[i]));
        if (!self)
            return;
    }
}
