#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <cstdio>

namespace Brellow {

class FloodClient;

// Many simulated agents on one statistics server: logs them in spread over one ping
// interval, as agents arrive at their desks, and once the server ends their sessions
// (a restart) counts the logins they send each second until every one has resumed.
class LoginFlood : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        QString host = QStringLiteral("127.0.0.1");
        quint16 port = 0;
        int clients = 200;
        int pingIntervalMs = 10000;
        int loginSpreadMs = -1; // -1: one ping interval
        QString username = QStringLiteral("demo");
        QString password = QStringLiteral("demo");
        quint32 seed = 0; // client i draws its back-off from seed + i
        bool exitWhenResumed = false;
    };

    LoginFlood(const Settings &settings, std::FILE *out, QObject *parent = nullptr);

    void start();
    // The summary so far: how many resumed, how long it took, the peak logins per second.
    void printSummary();
    bool summaryPrinted() const { return m_summaryPrinted; }

signals:
    // Every client resumed and exitWhenResumed is set.
    void done();

private:
    void onLoggedIn(int index);
    void onEndedByServer(int index);
    void onResumed(int index);
    void onLoginSent();
    void onSecond();
    void say(const QString &line);

    Settings m_settings;
    std::FILE *m_out;
    QList<FloodClient *> m_clients;
    QList<bool> m_everLoggedIn;
    QList<bool> m_ended;   // ended by the server since the first end
    QList<bool> m_resumed; // resumed after that
    int m_loggedInCount = 0;
    int m_endedCount = 0;
    int m_resumedCount = 0;
    int m_stoppedCount = 0;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceFirstEnd;
    qint64 m_lastResumeMs = -1;
    QTimer m_secondTimer;
    int m_second = 0;
    int m_loginsThisSecond = 0;
    int m_peakLogins = 0;
    qint64 m_loginsSinceFirstEnd = 0;
    bool m_summaryPrinted = false;
};

} // namespace Brellow
