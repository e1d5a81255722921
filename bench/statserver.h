#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

// The bench's statistics server: answers every login with a session, answers
// pings and logouts, and pushes whatever the bench asks to a logged-in client.
class StatServer : public QObject
{
    Q_OBJECT

public:
    explicit StatServer(QObject *parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const;
    QString errorString() const { return m_error; }

    // The client that logged in under this user name, or 0 while none has.
    quint16 peerOf(const QString &username) const { return m_peers.value(username); }
    // Sends one datagram to that client; false when it could not go out.
    bool send(quint16 peer, const QByteArray &datagram);
    int logins() const { return m_logins; }

private:
    void readPending();

    QUdpSocket *m_socket = nullptr;
    QHash<QString, quint16> m_peers;
    int m_logins = 0;
    QString m_error;
};
