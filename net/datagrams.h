#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QUdpSocket>

namespace Brellow {

namespace Datagrams {

// Hands every datagram waiting on `socket` to handle(datagram, sender, senderPort).
// A closed peer port shows up as readyRead with nothing to read and readDatagram
// failing, whatever hasPendingDatagrams() claims: the loop stops then.
template <typename Handler> void drain(QUdpSocket &socket, Handler handle)
{
    while (socket.hasPendingDatagrams()) {
        const qint64 size = socket.pendingDatagramSize();
        if (size < 0)
            break;
        QByteArray datagram(size, Qt::Uninitialized);
        QHostAddress from;
        quint16 port = 0;
        const qint64 read = socket.readDatagram(datagram.data(), size, &from, &port);
        if (read < 0)
            break;
        datagram.truncate(read);
        handle(datagram, from, port);
    }
}

} // namespace Datagrams

} // namespace Brellow
