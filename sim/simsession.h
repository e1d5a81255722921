#pragma once

#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

namespace Brellow {

class Feed;

// One logged-in client. A session is bound to the peer (address and port) that logged in:
// its pushes go there, and only requests from there may use its id.
class SimSession : public QObject
{
    Q_OBJECT
public:
    // Takes the feed over as a Qt child. idleTimeoutMs 0 means never idle.
    SimSession(const QString &id, const QString &user, const QHostAddress &address, quint16 port,
               Feed *feed, int idleTimeoutMs, QObject *parent = nullptr);

    QString id() const { return m_id; }
    QString user() const { return m_user; }
    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    bool isFrom(const QHostAddress &address, quint16 port) const;

    void start();
    // Ends every push and the idle countdown; nothing is emitted afterwards.
    void stop();
    // The client was heard from: the idle countdown starts again.
    void touch();

signals:
    void message(const QJsonObject &msg);
    void idle();

private:
    QString m_id;
    QString m_user;
    QHostAddress m_address;
    quint16 m_port;
    Feed *m_feed;
    QTimer m_idleTimer;
    bool m_stopped = false;
};

} // namespace Brellow
