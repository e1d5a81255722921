#include "statserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUdpSocket>

StatServer::StatServer(QObject *parent) : QObject(parent), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &StatServer::readPending);
}

bool StatServer::listen(quint16 port)
{
    if (!m_socket->bind(QHostAddress::LocalHost, port)) {
        m_error = m_socket->errorString();
        return false;
    }
    // Pushes at tens of thousands a second would otherwise find the send buffer full.
    m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4 * 1024 * 1024);
    return true;
}

quint16 StatServer::port() const
{
    return m_socket->localPort();
}

bool StatServer::send(quint16 peer, const QByteArray &datagram)
{
    return m_socket->writeDatagram(datagram, QHostAddress::LocalHost, peer) == datagram.size();
}

void StatServer::readPending()
{
    while (m_socket->hasPendingDatagrams()) {
        QByteArray datagram(qMax<qint64>(0, m_socket->pendingDatagramSize()), Qt::Uninitialized);
        QHostAddress from;
        quint16 port = 0;
        if (m_socket->readDatagram(datagram.data(), datagram.size(), &from, &port) < 0)
            break;
        const QJsonObject request = QJsonDocument::fromJson(datagram).object();
        const QString cmd = request.value(QStringLiteral("cmd")).toString();
        QJsonObject reply;
        if (cmd == QLatin1String("login")) {
            const QString user = request.value(QStringLiteral("username")).toString();
            m_peers.insert(user, port);
            ++m_logins;
            reply = {
                {QStringLiteral("cmd"), QStringLiteral("login_ack")},
                {QStringLiteral("session_id"), QStringLiteral("bench-%1-%2").arg(user).arg(port)},
                {QStringLiteral("media_links"), QJsonArray()}};
        } else if (cmd == QLatin1String("ping")) {
            reply = {{QStringLiteral("cmd"), QStringLiteral("ping_ack")}};
        } else if (cmd == QLatin1String("logout")) {
            reply = {{QStringLiteral("cmd"), QStringLiteral("logout_ack")}};
        } else {
            continue;
        }
        m_socket->writeDatagram(QJsonDocument(reply).toJson(QJsonDocument::Compact), from, port);
    }
}
