#include <common/signalwatcher.h>

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Brellow {

namespace {
int s_fds[2] = {-1, -1}; // [0] read by the event loop, [1] written by the handler

void onPosixSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe loses the signal, but then plenty of the same are already queued.
    [[maybe_unused]] const ssize_t written = ::write(s_fds[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent)
    : QObject(parent)
{
    Q_ASSERT(s_fds[0] < 0);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0)
        return;
    // The handler must never block, whatever the event loop is doing.
    ::fcntl(s_fds[1], F_SETFL, ::fcntl(s_fds[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(s_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onActivated);
    for (const int signalNumber : signalNumbers)
        watch(signalNumber);
}

SignalWatcher::~SignalWatcher()
{
    if (s_fds[0] < 0)
        return;
    // Back to the default action before the descriptors the handler uses go away.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : std::as_const(m_watched))
        ::sigaction(signalNumber, &action, nullptr);
    delete m_notifier;
    ::close(s_fds[0]);
    ::close(s_fds[1]);
    s_fds[0] = s_fds[1] = -1;
}

bool SignalWatcher::watch(int signalNumber)
{
    if (!m_notifier)
        return false;
    struct sigaction action = {};
    action.sa_handler = onPosixSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(signalNumber, &action, nullptr) != 0)
        return false;
    m_watched.append(signalNumber);
    return true;
}

void SignalWatcher::onActivated()
{
    unsigned char byte = 0;
    if (::read(s_fds[0], &byte, 1) == 1)
        emit signalled(byte);
}

} // namespace Brellow
