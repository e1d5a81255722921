#include <tools/floodclient.h>

#include <net/receiver.h>
#include <net/sessionkeeper.h>

namespace Brellow {

FloodClient::FloodClient(const QString &host, quint16 port, int pingIntervalMs, quint32 seed,
                         QObject *parent)
    : QObject(parent), m_receiver(new Receiver(this, host, port)),
      m_keeper(new SessionKeeper(m_receiver, SessionKeeper::Timings{}, seed, this))
{
    m_pingTimer.setInterval(pingIntervalMs);
    connect(&m_pingTimer, &QTimer::timeout, this, &FloodClient::onPingTimer);
    connect(m_keeper, &SessionKeeper::loginSent, this, &FloodClient::loginSent);
    connect(m_keeper, &SessionKeeper::resumed, this, &FloodClient::resumed);
    connect(m_keeper, &SessionKeeper::resumeStopped, this, [this] {
        m_state = State::LoggedOut;
        m_pingTimer.stop();
        emit resumeStopped();
    });
    connect(m_receiver, &Receiver::loggedIn, this, &FloodClient::onLoggedIn);
    connect(m_receiver, &Receiver::loggedOut, this, &FloodClient::onLoggedOut);
    connect(m_receiver, &Receiver::testAnswered, this, &FloodClient::onTestAnswered);
    connect(m_receiver, &Receiver::datagramReceived, this, [this] {
        m_connectionLost = false;
        m_unansweredPings = 0;
    });
}

void FloodClient::logIn(const QString &username, const QString &password)
{
    m_state = State::LoggingIn;
    m_keeper->logIn(username, password);
}

void FloodClient::onLoggedIn()
{
    if (m_state == State::LoggedOut)
        return;
    m_state = State::LoggedIn;
    m_unansweredPings = 0;
    m_connectionLost = false;
    // As in the window: the ping phase starts again with each session.
    m_pingTimer.start();
    emit loggedIn();
}

void FloodClient::onLoggedOut()
{
    // While resuming, the keeper decides how an attempt ends.
    if (m_state != State::LoggedIn)
        return;
    if (m_receiver->lastSessionEnd() == Receiver::SessionEnd::ByServer) {
        startResuming();
        return;
    }
    m_keeper->forget();
    m_state = State::LoggedOut;
    m_pingTimer.stop();
}

void FloodClient::onPingTimer()
{
    if (m_unansweredPings >= LostAfterUnansweredPings) {
        m_connectionLost = true;
        m_keeper->probe();
    }
    if (m_receiver->isLoggedIn())
        ++m_unansweredPings;
    m_receiver->ping();
}

void FloodClient::onTestAnswered()
{
    // The server is there but no longer answers for our session.
    if (m_state != State::LoggedIn || !m_connectionLost)
        return;
    m_receiver->dropSession();
    startResuming();
}

void FloodClient::startResuming()
{
    m_pingTimer.stop();
    m_unansweredPings = 0;
    emit endedByServer();
    if (m_keeper->startResuming()) {
        m_state = State::Resuming;
        return;
    }
    m_keeper->forget();
    m_state = State::LoggedOut;
    emit resumeStopped();
}

} // namespace Brellow
