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
    void logout();
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

signals:
    void online();
    void offline();
    void loggedIn();
    void loggedOut();
    void updateStat(QVariantMap data);
    void updateLive(QVariantMap data);
    void ackNoTransfer();
    void ackPing();
    // Every datagram from the server, understood or not: it is still there.
    // Emitted before the signal of the datagram itself.
    void datagramReceived();

private slots:
    void onSocketConnected();
    void onSocketDisconnected();
    void onSocketReadyRead();

private:
    void connectToServer(int timeoutMs);

    QVariantList m_mediaLinks;
    QString m_host;
    int m_port;
    QUdpSocket *m_socket = nullptr;
    QString m_sessionId;
};

} // namespace Brellow
