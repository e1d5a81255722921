#include <tools/loginflood.h>

#include <tools/floodclient.h>

namespace Brellow {

LoginFlood::LoginFlood(const Settings &settings, std::FILE *out, QObject *parent)
    : QObject(parent), m_settings(settings), m_out(out)
{
    if (m_settings.loginSpreadMs < 0)
        m_settings.loginSpreadMs = m_settings.pingIntervalMs;
    m_secondTimer.setInterval(1000);
    m_secondTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_secondTimer, &QTimer::timeout, this, &LoginFlood::onSecond);
}

void LoginFlood::start()
{
    say(QStringLiteral("flood %1:%2 clients %3 ping %4 ms login spread %5 ms seed %6")
            .arg(m_settings.host)
            .arg(m_settings.port)
            .arg(m_settings.clients)
            .arg(m_settings.pingIntervalMs)
            .arg(m_settings.loginSpreadMs)
            .arg(m_settings.seed));
    m_sinceStart.start();
    const int count = m_settings.clients;
    m_everLoggedIn.fill(false, count);
    m_ended.fill(false, count);
    m_resumed.fill(false, count);
    for (int i = 0; i < count; ++i) {
        auto *client = new FloodClient(m_settings.host, m_settings.port, m_settings.pingIntervalMs,
                                       m_settings.seed + quint32(i), this);
        m_clients.append(client);
        connect(client, &FloodClient::loginSent, this, &LoginFlood::onLoginSent);
        connect(client, &FloodClient::loggedIn, this, [this, i] { onLoggedIn(i); });
        connect(client, &FloodClient::endedByServer, this, [this, i] { onEndedByServer(i); });
        connect(client, &FloodClient::resumed, this, [this, i] { onResumed(i); });
        connect(client, &FloodClient::resumeStopped, this, [this] { ++m_stoppedCount; });
        // Spread evenly, so that the ping phases are spread as well.
        const int delayMs = int(qint64(m_settings.loginSpreadMs) * i / count);
        QTimer::singleShot(delayMs, client, [this, client] {
            client->logIn(m_settings.username, m_settings.password);
        });
    }
}

void LoginFlood::onLoggedIn(int index)
{
    if (m_everLoggedIn[index])
        return;
    m_everLoggedIn[index] = true;
    if (++m_loggedInCount == m_settings.clients)
        say(QStringLiteral("logged in %1/%1 after %2 ms")
                .arg(m_settings.clients)
                .arg(m_sinceStart.elapsed()));
}

void LoginFlood::onEndedByServer(int index)
{
    if (!m_sinceFirstEnd.isValid()) {
        m_sinceFirstEnd.start();
        m_secondTimer.start();
        say(QStringLiteral("first session ended by the server after %1 ms")
                .arg(m_sinceStart.elapsed()));
    }
    if (!m_ended[index]) {
        m_ended[index] = true;
        ++m_endedCount;
    }
}

void LoginFlood::onResumed(int index)
{
    if (!m_ended[index] || m_resumed[index])
        return;
    m_resumed[index] = true;
    ++m_resumedCount;
    m_lastResumeMs = m_sinceFirstEnd.elapsed();
    if (m_resumedCount == m_settings.clients && !m_summaryPrinted) {
        printSummary();
        if (m_settings.exitWhenResumed)
            emit done();
    }
}

void LoginFlood::onLoginSent()
{
    if (!m_sinceFirstEnd.isValid())
        return;
    ++m_loginsThisSecond;
    ++m_loginsSinceFirstEnd;
}

void LoginFlood::onSecond()
{
    ++m_second;
    m_peakLogins = qMax(m_peakLogins, m_loginsThisSecond);
    say(QStringLiteral("second %1 logins %2 ended %3 resumed %4")
            .arg(m_second)
            .arg(m_loginsThisSecond)
            .arg(m_endedCount)
            .arg(m_resumedCount));
    m_loginsThisSecond = 0;
    // Quiet again after everyone is back: nothing more to count.
    if (m_summaryPrinted && m_resumedCount == m_settings.clients)
        m_secondTimer.stop();
}

void LoginFlood::printSummary()
{
    m_summaryPrinted = true;
    // The second under way counts towards the peak as far as it got.
    const int peak = qMax(m_peakLogins, m_loginsThisSecond);
    const QString last =
        m_lastResumeMs < 0 ? QStringLiteral("-") : QString::number(m_lastResumeMs / 1000.0, 'f', 1);
    say(QStringLiteral("summary resumed %1/%2 last %3 s after the first end, peak %4 logins/s, "
                       "%5 logins, %6 stopped")
            .arg(m_resumedCount)
            .arg(m_settings.clients)
            .arg(last)
            .arg(peak)
            .arg(m_loginsSinceFirstEnd)
            .arg(m_stoppedCount));
}

void LoginFlood::say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), m_out);
    std::fflush(m_out);
}

} // namespace Brellow
