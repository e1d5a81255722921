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
    connect(m_socket, &QUdpSocket::connected, this, &Receiver::onSocketConnected);
    connect(m_socket, &QUdpSocket::disconnected, this, &Receiver::onSocketDisconnected);
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
    if (isLoggedIn())
        logout();
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Login));
    map.insert(Messages::Username, username);
    map.insert(Messages::Password, hashPassword(password));
    sendMessage(map);
}

void Receiver::logout()
{
    if (!isLoggedIn())
        return;
    QVariantMap map;
    map.insert(Messages::Cmd, QString(Messages::Logout));
    sendMessage(map);
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

void Receiver::onSocketConnected()
{
    emit online();
}

void Receiver::onSocketDisconnected()
{
    emit offline();
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
    emit datagramReceived();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(datagram, &error);
    if (error.error != QJsonParseError::NoError)
        return;
    const QVariantMap message =
        document.isObject() ? document.object().toVariantMap() : QVariantMap();
    const QString cmd = message.value(Messages::Cmd).toString();

    if (cmd == Messages::LoginAck) {
        m_sessionId = message.value(Messages::SessionId).toString();
        m_mediaLinks = Messages::toList(message.value(Messages::MediaLinks));
        if (!m_sessionId.isEmpty())
            emit loggedIn();
    } else if (cmd == Messages::LogoutAck || cmd == Messages::ShutdownAck) {
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
    } else if (cmd == Messages::UpdateStat) {
        emit updateStat(message.value(Messages::Data).toMap());
    } else if (cmd == Messages::UpdateLive) {
        emit updateLive(message.value(Messages::Data).toMap());
    } else if (cmd == Messages::NoTransferAck) {
        emit ackNoTransfer();
    }
}

} // namespace Brellow
