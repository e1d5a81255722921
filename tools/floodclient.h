#pragma once

#include <QObject>
#include <QTimer>

namespace Brellow {

class Receiver;
class SessionKeeper;

// One simulated agent's Brellow for the login flood: the client's own Receiver and
// SessionKeeper on a socket of its own, pinging and resuming as the window drives them.
class FloodClient : public QObject
{
    Q_OBJECT
public:
    // As many pings in a row without a datagram back before the window asks whether the
    // server is there at all.
    static constexpr int LostAfterUnansweredPings = 3;

    FloodClient(const QString &host, quint16 port, int pingIntervalMs, quint32 seed,
                QObject *parent = nullptr);

    // The agent's login.
    void logIn(const QString &username, const QString &password);
    bool isLoggedIn() const { return m_state == State::LoggedIn; }

signals:
    // Every "login" datagram that went out, repeats included.
    void loginSent();
    void loggedIn();
    // The server ended the session unasked; resuming starts.
    void endedByServer();
    void resumed(int attempts);
    void resumeStopped();

private:
    enum class State
    {
        LoggedOut,
        LoggingIn,
        LoggedIn,
        Resuming
    };

    void onLoggedIn();
    void onLoggedOut();
    void onPingTimer();
    void onTestAnswered();
    void startResuming();

    Receiver *m_receiver;
    SessionKeeper *m_keeper;
    QTimer m_pingTimer;
    State m_state = State::LoggedOut;
    int m_unansweredPings = 0;
    bool m_connectionLost = false;
};

} // namespace Brellow
