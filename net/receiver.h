#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QUdpSocket;

namespace Brellow {

// Brellow's only link to the statistics server: one connected UDP socket, the
// session id handed out at login, requests out as datagrams, datagrams in as signals.
class Receiver : public QObject
{
    Q_OBJECT

public:
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int MaxDatagramSize = 65536;

    // Connects at once, waiting at most connectTimeoutMs.
    Receiver(QObject *parent, const QString &host, int port,
             int connectTimeoutMs = ConnectTimeoutMs);

    bool isConnected() const;
    bool isLoggedIn() const;
    QVariantList mediaLinks() const;

    void login(const QString &username, const QString &password);
    // The same "login", for a password already in its wire form (see hashPassword).
    void loginWithDigest(const QString &username, const QString &digest);
    void logout();
    // Forgets a session that the server no longer knows, without a word to it.
    void dropSession();
    void ping();
    void noTransfer(const QString &text);
    void test();
    void sendMessage(QVariantMap map);

    // The inbound dispatcher for one datagram, as read from the socket: parses it and
    // updates the session or emits the matching signal. Public so that it can be driven
    // without a socket.
    void handleDatagram(const QByteArray &datagram);

    // The wire form of a login password: MD5 over the Latin-1 bytes, lower-case hex.
    static QString hashPassword(const QString &password);

    // How the last session ended: asked for by our own "logout", or ended by the
    // server on its own (a restart, an idle timeout, a supervisor).
    enum class SessionEnd
    {
        Asked,    // the answer to our own "logout"
        ByServer, // a session we held, ended without our asking
        Unheld    // neither: no session was held and none was asked to end
    };
    SessionEnd lastSessionEnd() const { return m_lastEnd; }

signals:
    void loggedIn();
    void loggedOut();
    void updateStat(QVariantMap data);
    void updateLive(QVariantMap data);
    void ackNoTransfer();
    void ackPing();
    // A "login_ack" without a session id: the server refused the login.
    void loginRefused();
    // A "test_ack": the server is there, whatever it thinks of our session.
    void testAnswered();
    // Every datagram from the server but a "test_ack", understood or not: it is
    // still there and keeps our session. Emitted before the datagram's own signal.
    void datagramReceived();

private slots:
    void onSocketReadyRead();

private:
    void connectToServer(int timeoutMs);

    QVariantList m_mediaLinks;
    QString m_host;
    int m_port;
    QUdpSocket *m_socket = nullptr;
    QString m_sessionId;
    bool m_logoutSent = false;
    SessionEnd m_lastEnd = SessionEnd::Asked;
};

} // namespace Brellow
