#pragma once

#include <sim/simconfig.h>

#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>

#include <functional>

class QUdpSocket;

namespace Brellow {

class LoginRate;
class SimLog;
class SimSession;

// The practice statistics server: answers the client's requests and runs one session per
// logged-in peer. Every answer and push leaves from the listening socket, because the
// client's socket is connected to the server's address and port and hears nothing else.
//
// A logout, ping or notransfer whose "session_id" is missing, unknown or belongs to another
// peer is answered with "shutdown_ack": the client then drops the session it holds and shows
// its login form again, instead of pinging a session that no longer exists (after a restart
// of this server or an idle timeout). Nothing of any real session changes.
class SimServer : public QObject
{
    Q_OBJECT
public:
    SimServer(const SimConfig &config, SimLog *log, QObject *parent = nullptr);
    ~SimServer() override;

    // Binds the socket; port 0 picks a free one (see port()).
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_errorString; }
    QHostAddress address() const;
    quint16 port() const;

    int sessionCount() const { return m_sessions.size(); }
    // Datagrams dropped because they were not a well-formed request.
    qint64 malformedCount() const { return m_malformedCount; }

    // Handles one request as if it had arrived on the socket from this peer.
    void handleDatagram(const QByteArray &datagram, const QHostAddress &from, quint16 port);

    // Where answers and pushes go instead of the socket (for driving the server without
    // one); the function returns false for a send that failed. An empty one restores the
    // socket.
    using Sender = std::function<bool(const QHostAddress &to, quint16 port, const QByteArray &)>;
    void setSender(Sender sender) { m_sender = std::move(sender); }

    // Tells every session's peer "shutdown_ack" and ends all sessions.
    void shutdown();

private:
    void onReadyRead();
    void handleLogin(const QJsonObject &request, const QHostAddress &from, quint16 port);
    void dropMalformed(const QHostAddress &from, quint16 port, const QString &reason);
    void send(const QHostAddress &to, quint16 port, const QJsonObject &msg);
    SimSession *sessionFor(const QJsonValue &id, const QHostAddress &from, quint16 port) const;
    SimSession *sessionOfPeer(const QHostAddress &from, quint16 port) const;
    SimSession *openSession(const QString &user, const QHostAddress &peer, quint16 port);
    void endSession(SimSession *session, const QString &reason);
    static QString newSessionId();

    SimConfig m_config;
    SimLog *m_log;
    LoginRate *m_loginRate = nullptr; // with logLoginRate only
    QUdpSocket *m_socket;
    QHash<QString, SimSession *> m_sessions;
    QList<SimSession *> m_sessionOrder; // in login order, for a predictable shutdown
    qint64 m_malformedCount = 0;
    QString m_errorString;
    Sender m_sender;
};

} // namespace Brellow
