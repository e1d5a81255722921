#pragma once

#include <net/backoff.h>

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

namespace Brellow {

class Receiver;

// Keeps the agent logged in without the agent's help. It sends each login, says it
// again when nothing comes back (datagrams get lost), and holds what it needs to
// log in again for this run only: the user name and the password's wire digest,
// in memory and nowhere else. When the server ends the session on its own (a
// restart), it logs in again with a growing, jittered wait between attempts until
// the server takes it back, refuses it, or the site's limit runs out.
class SessionKeeper : public QObject
{
    Q_OBJECT

public:
    struct Timings
    {
        // A login without an answer goes again every repeatMs, at most `repeats`
        // times: within the login's 5 s, so that a datagram lost on the way there
        // or back does not fail the login.
        int repeatMs = 1000;
        int repeats = 4;
    };

    enum class State
    {
        Idle,      // no credentials held
        LoggingIn, // the agent's login is on its way
        Holding,   // logged in; the credentials are kept for a resume
        Resuming   // the server ended the session; logging in again
    };
    Q_ENUM(State)

    enum class Stop
    {
        Refused, // the server refused the credentials
        Expired  // the site's limit ran out before the server took the session back
    };
    Q_ENUM(Stop)

    static constexpr qint64 DefaultResumeLimitMs = 60 * 60 * 1000;

    explicit SessionKeeper(Receiver *receiver, QObject *parent = nullptr);
    SessionKeeper(Receiver *receiver, const Timings &timings, quint32 seed,
                  QObject *parent = nullptr);
    ~SessionKeeper() override;

    // 0 turns resuming off.
    void setResumeLimitMs(qint64 ms) { m_resumeLimitMs = ms; }
    qint64 resumeLimitMs() const { return m_resumeLimitMs; }

    State state() const { return m_state; }
    QString username() const { return m_username; }

    // The agent's login: sent now, and kept for this run once the server takes it.
    void logIn(const QString &username, const QString &password);
    // The agent's login got no session in time.
    void loginTimedOut();
    // Drops the credentials and any attempt under way.
    void forget();
    // The server ended the session without being asked, or no longer answers for it.
    // Starts logging in again; false (and nothing happens) without credentials or
    // with resuming off.
    bool startResuming();
    // Asks the server whether it is there at all (a "test"); its answer counts as heard.
    void probe();
    // Whether any datagram came from the server since the last login went out.
    bool heardSinceLogin() const { return m_heard; }

signals:
    // Each "login" sent: the first of an attempt (repeat 0) and its repeats.
    void loginSent(const QString &username, int repeat);
    void resumeStarted(const QString &username);
    // A resume attempt went out; attempt counts from 1. It has waitMs for its
    // answer, then the next one goes.
    void resumeAttempt(int attempt, int waitMs);
    // A resume attempt got no session in its time.
    void resumeAttemptFailed(int attempt, bool serverHeard);
    void resumed(int attempts);
    void resumeStopped(SessionKeeper::Stop why);

private:
    void sendLogin();
    void onRepeat();
    void onAttemptEnd();
    void onLoggedIn();
    void onLoginRefused();
    void wipe();

    Receiver *m_receiver;
    Timings m_timings;
    Backoff m_backoff;
    QTimer *m_repeatTimer;
    QTimer *m_attemptTimer;
    QElapsedTimer m_resumingFor;
    qint64 m_resumeLimitMs = DefaultResumeLimitMs;
    State m_state = State::Idle;
    QString m_username;
    QString m_digest;
    int m_repeatsSent = 0;
    int m_attempt = 0;
    int m_unansweredWhileHeard = 0;
    bool m_heard = false;
    bool m_loginAnswered = false;
};

} // namespace Brellow
