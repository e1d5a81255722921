#include <net/sessionkeeper.h>

#include <net/receiver.h>

#include <QTimer>

namespace Brellow {

namespace {

QTimer *singleShot(QObject *parent, int intervalMs)
{
    auto *timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace

SessionKeeper::SessionKeeper(Receiver *receiver, QObject *parent)
    : SessionKeeper(receiver, Timings{}, QRandomGenerator::system()->generate(), parent)
{
}

SessionKeeper::SessionKeeper(Receiver *receiver, const Timings &timings, quint32 seed,
                             QObject *parent)
    : QObject(parent), m_receiver(receiver), m_timings(timings), m_backoff(seed)
{
    m_repeatTimer = singleShot(this, m_timings.repeatMs);
    m_attemptTimer = singleShot(this, 0);
    connect(m_repeatTimer, &QTimer::timeout, this, &SessionKeeper::onRepeat);
    connect(m_attemptTimer, &QTimer::timeout, this, &SessionKeeper::onAttemptEnd);

    connect(m_receiver, &Receiver::datagramReceived, this, [this] { m_heard = true; });
    connect(m_receiver, &Receiver::testAnswered, this, [this] { m_heard = true; });
    connect(m_receiver, &Receiver::loggedIn, this, &SessionKeeper::onLoggedIn);
    connect(m_receiver, &Receiver::loginRefused, this, &SessionKeeper::onLoginRefused);
}

SessionKeeper::~SessionKeeper()
{
    wipe();
}

void SessionKeeper::logIn(const QString &username, const QString &password)
{
    forget();
    m_username = username;
    m_digest = Receiver::hashPassword(password);
    m_state = State::LoggingIn;
    sendLogin();
}

void SessionKeeper::sendLogin()
{
    m_heard = false;
    m_loginAnswered = false;
    m_repeatsSent = 0;
    m_receiver->loginWithDigest(m_username, m_digest);
    // Any answer at all tells a server that is there from one that is not.
    m_receiver->test();
    emit loginSent(m_username, 0);
    if (m_timings.repeats > 0)
        m_repeatTimer->start();
}

void SessionKeeper::onRepeat()
{
    if (m_loginAnswered || (m_state != State::LoggingIn && m_state != State::Resuming))
        return;
    // While resuming, a server that has not answered the attempt's test is not
    // there yet: saying the login again would undo the back-off, and a floor of
    // clients would come back to it in step.
    if (m_state == State::Resuming && !m_heard) {
        m_repeatTimer->start();
        return;
    }
    // The same datagram again: the server keeps one session per client address, so
    // a repeat that arrives after all replaces the first one's session, not adds one.
    ++m_repeatsSent;
    m_receiver->loginWithDigest(m_username, m_digest);
    if (!m_heard)
        m_receiver->test();
    emit loginSent(m_username, m_repeatsSent);
    if (m_repeatsSent < m_timings.repeats)
        m_repeatTimer->start();
}

void SessionKeeper::loginTimedOut()
{
    if (m_state == State::LoggingIn)
        forget();
}

void SessionKeeper::forget()
{
    m_repeatTimer->stop();
    m_attemptTimer->stop();
    m_state = State::Idle;
    wipe();
}

void SessionKeeper::wipe()
{
    // Overwritten in place first: the digest is as good as the password to the server.
    m_digest.fill(QLatin1Char('0'));
    m_digest.clear();
    m_username.clear();
}

bool SessionKeeper::startResuming()
{
    if (m_state != State::Holding || m_resumeLimitMs <= 0 || m_digest.isEmpty())
        return false;
    m_state = State::Resuming;
    m_attempt = 0;
    m_unansweredWhileHeard = 0;
    m_backoff.reset();
    m_resumingFor.start();
    emit resumeStarted(m_username);
    // The first attempt at once.
    m_backoff.nextWaitMs();
    m_attemptTimer->start(0);
    return true;
}

void SessionKeeper::onAttemptEnd()
{
    if (m_state != State::Resuming)
        return;
    if (m_attempt > 0) {
        // A server that answers our tests but never our logins does not want them.
        // Two such attempts in a row, so that lost datagrams alone do not end it.
        m_unansweredWhileHeard = m_heard ? m_unansweredWhileHeard + 1 : 0;
        if (m_unansweredWhileHeard >= 2) {
            forget();
            emit resumeStopped(Stop::Refused);
            return;
        }
        emit resumeAttemptFailed(m_attempt, m_heard);
    }
    if (m_resumingFor.elapsed() >= m_resumeLimitMs) {
        forget();
        emit resumeStopped(Stop::Expired);
        return;
    }
    // Each attempt has until the next one for its answer.
    ++m_attempt;
    const int waitMs = m_backoff.nextWaitMs();
    emit resumeAttempt(m_attempt, waitMs);
    sendLogin();
    m_attemptTimer->start(waitMs);
}

void SessionKeeper::probe()
{
    m_receiver->test();
}

void SessionKeeper::onLoggedIn()
{
    m_loginAnswered = true;
    m_repeatTimer->stop();
    m_attemptTimer->stop();
    const State before = m_state;
    if (before == State::Idle)
        return;
    m_state = State::Holding;
    if (before == State::Resuming)
        emit resumed(m_attempt);
}

void SessionKeeper::onLoginRefused()
{
    m_loginAnswered = true;
    const State before = m_state;
    if (before != State::LoggingIn && before != State::Resuming)
        return;
    forget();
    if (before == State::Resuming)
        emit resumeStopped(Stop::Refused);
}

} // namespace Brellow
