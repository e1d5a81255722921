#include <net/receiver.h>

#include <net/datagrams.h>
#include <net/messages.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QUdpSocket>
#include <QtDebug>

namespace Brellow {

Receiver::Receiver(QObject *parent, const QString &host, int port, int connectTimeoutMs)
    : QObject(parent), m_host(host), m_port(port)
{
    connectToServer(connectTimeoutMs);
}

void Receiver::connectToServer(int timeoutMs)
{
    m_socket = new QUdpSocket(this);
    connect(m_socket, &QUdpSocket::readyRead, this, &Receiver::onSocketReadyRead);
    m_socket->connectToHost(m_host, static_cast<quint16>(m_port), QIODevice::ReadWrite);
    m_socket->waitForConnected(timeoutMs);
}

bool Receiver::isConnected() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool Receiver::isLoggedIn() const
{
    return !m_sessionId.isEmpty();
}

QVariantList Receiver::mediaLinks() const
{
    return m_mediaLinks;
}

QString Receiver::hashPassword(const QString &password)
{
    return Messages::passwordDigest(password);
}

void Receiver::login(const QString &username, const QString &password)
{
    loginWithDigest(username, hashPassword(password));
}

void Receiver::loginWithDigest(const QString &username, const QString &digest)
{
    if (isLoggedIn())
        logout();
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Login));
    map.insert(Messages::Username, username);
    map.insert(Messages::Password, digest);
    sendMessage(map);
}

void Receiver::logout()
{
    if (!isLoggedIn())
        return;
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Logout));
    m_logoutSent = true;
    sendMessage(map);
}

void Receiver::dropSession()
{
    m_sessionId.clear();
    m_logoutSent = false;
    m_lastEnd = SessionEnd::ByServer;
}

void Receiver::ping()
{
    if (!isLoggedIn())
        return;
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Ping));
    sendMessage(map);
}

void Receiver::noTransfer(const QString &text)
{
    if (!isLoggedIn())
        return;
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::NoTransfer));
    map.insert(Messages::Text, text);
    sendMessage(map);
}

void Receiver::test()
{
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Test));
    map.insert(Messages::Data, QDateTime::currentDateTime().toString(Qt::TextDate));
    sendMessage(map);
}

void Receiver::sendMessage(QVariantMap map)
{
    if (!m_sessionId.isEmpty())
        map.insert(Messages::SessionId, m_sessionId);
    // QJsonObject keeps its keys sorted, so members go out in ascending order.
    m_socket->write(QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact));
}

void Receiver::onSocketReadyRead()
{
    bool handled = false;
    Datagrams::drain(*m_socket, [&](const QByteArray &datagram, const QHostAddress &, quint16) {
        handled = true;
        handleDatagram(datagram);
    });
    if (handled)
        return;
    // Woken with nothing to read: the kernel's "unreachable" for a datagram of ours
    // while the server was away. The socket tells of new datagrams again only after
    // a read, so read once; one that has come meanwhile is handled as usual.
    QByteArray datagram(MaxDatagramSize, Qt::Uninitialized);
    const qint64 read = m_socket->readDatagram(datagram.data(), datagram.size());
    if (read >= 0) {
        datagram.truncate(read);
        handleDatagram(datagram);
    }
}

void Receiver::handleDatagram(const QByteArray &datagram)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(datagram, &error);
    const QVariantMap message = error.error == QJsonParseError::NoError && document.isObject()
                                    ? document.object().toVariantMap()
                                    : QVariantMap();
    const QString cmd = message.value(Messages::Cmd).toString();
    // A "test_ack" says the server is there, not that it still keeps our session:
    // it has a signal of its own.
    if (cmd != Messages::TestAck)
        emit datagramReceived();
    if (error.error != QJsonParseError::NoError)
        return;

    if (cmd == Messages::LoginAck) {
        m_sessionId = message.value(Messages::SessionId).toString();
        m_mediaLinks = Messages::toList(message.value(Messages::MediaLinks));
        m_logoutSent = false;
        if (!m_sessionId.isEmpty())
            emit loggedIn();
        else
            emit loginRefused();
    } else if (cmd == Messages::LogoutAck || cmd == Messages::ShutdownAck) {
        // A "shutdown_ack" also answers a logout of a session the server no longer
        // knows: only an end we did not ask for is the server's own.
        const bool held = !m_sessionId.isEmpty();
        if (m_logoutSent)
            m_lastEnd = SessionEnd::Asked;
        else if (held && cmd == Messages::ShutdownAck)
            m_lastEnd = SessionEnd::ByServer;
        else
            m_lastEnd = held ? SessionEnd::Asked : SessionEnd::Unheld;
        m_logoutSent = false;
        m_sessionId.clear();
        emit loggedOut();
    } else if (cmd == Messages::PingAck) {
        emit ackPing();
    } else if (cmd == Messages::TestAck) {
        // Through Qt's message system into the log: quoted, one blank after, and
        // nospace() so QDebug keeps that blank.
        const QString text =
            QStringLiteral("\"%1\" ").arg(message.value(Messages::Data).toString());
        qDebug().noquote().nospace() << text;
        emit testAnswered();
    } else if (cmd == Messages::UpdateStat) {
        emit updateStat(message.value(Messages::Data).toMap());
    } else if (cmd == Messages::UpdateLive) {
        emit updateLive(message.value(Messages::Data).toMap());
    } else if (cmd == Messages::NoTransferAck) {
        emit ackNoTransfer();
    }
}

} // namespace Brellow
