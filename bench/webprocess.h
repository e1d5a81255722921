#pragma once

#include "cdpclient.h"

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>

// Whom a program runs as.
struct UserAccount
{
    QString name; // empty: the bench's own user
    uint uid = 0;
    uint gid = 0;
};

// One program showing Brellow's page (Brellow itself or the bare view), started
// with the remote-debugging endpoint on a port of its own, optionally as another
// user, and reached from outside through that endpoint.
class WebProcess : public QObject
{
    Q_OBJECT

public:
    using Account = UserAccount;

    explicit WebProcess(QObject *parent = nullptr);
    ~WebProcess() override;

    // home holds the instance's HOME and XDG folders; env is added on top.
    bool start(const QString &program, const QStringList &arguments, const QString &home,
               const QProcessEnvironment &env, const Account &account = {});
    // Waits until the endpoint lists the page and its document is complete.
    // Microseconds (wall clock) when that was seen, or -1.
    qint64 waitForLoadedPage(int timeoutMs);
    // Makes an execution context able to read the page's DOM: the main world if
    // the page allows it, else a world of the bench's own.
    bool prepareWorld();
    // A world of the bench's own, whatever the main world allows.
    bool prepareIsolatedWorld();
    QString worldDescription() const { return m_worldDescription; }

    QJsonValue evaluate(const QString &expression, bool *ok = nullptr, int timeoutMs = 10000);
    bool waitFor(const QString &condition, int timeoutMs);

    CdpClient &cdp() { return m_cdp; }
    QProcess &process() { return m_process; }
    int pid() const;
    qint64 startedAtUs() const { return m_startedAtUs; }
    QString lastError() const { return m_error; }
    QString stderrTail() const;
    QString configHome() const;

    // Ends the program with SIGTERM; the milliseconds it took, or -1 if it had to be killed.
    qint64 terminate(int timeoutMs = 10000);

private:
    QProcess m_process;
    CdpClient m_cdp;
    int m_port = 0;
    int m_contextId = 0;
    qint64 m_startedAtUs = 0;
    QString m_home;
    QString m_error;
    QString m_worldDescription;
    QString m_mainWorldError;
};

// Wall-clock microseconds, the clock the page's own times are mapped onto.
qint64 wallUs();
// A free TCP port on 127.0.0.1 at the time of asking.
int freeTcpPort();
