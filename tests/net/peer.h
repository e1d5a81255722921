#pragma once

#include <net/receiver.h>

#include <QHostAddress>
#include <QTest>
#include <QUdpSocket>

#include <memory>

namespace NetTest {

using Brellow::Receiver;

// A stand-in server on 127.0.0.1 with a Receiver connected to it. The receiver's
// address is learnt from its first datagram, as a real server would.
class Peer
{
public:
    Peer()
    {
        QVERIFY(server.bind(QHostAddress::LocalHost, 0));
        receiver =
            std::make_unique<Receiver>(nullptr, QStringLiteral("127.0.0.1"), server.localPort());
    }

    // Makes the receiver send once so the peer knows where it is; discards that datagram.
    void handshake()
    {
        receiver->test();
        QVERIFY(!next().isEmpty());
    }

    QByteArray next(int timeoutMs = 2000)
    {
        // With the event loop running: the receiver's timers and signals go on.
        if (!QTest::qWaitFor([this] { return server.hasPendingDatagrams(); }, timeoutMs))
            return {};
        QByteArray data(server.pendingDatagramSize(), Qt::Uninitialized);
        QHostAddress from;
        quint16 port = 0;
        data.truncate(server.readDatagram(data.data(), data.size(), &from, &port));
        clientAddress = from;
        clientPort = port;
        return data;
    }

    QList<QByteArray> drain(int quietMs = 200)
    {
        QList<QByteArray> all;
        for (QByteArray d = next(quietMs); !d.isEmpty(); d = next(quietMs))
            all << d;
        return all;
    }

    void send(const QByteArray &datagram)
    {
        server.writeDatagram(datagram, clientAddress, clientPort);
    }

    void logIn(const QByteArray &sessionId = "s-1")
    {
        send(R"({"cmd":"login_ack","session_id":")" + sessionId + R"("})");
        QTRY_VERIFY(receiver->isLoggedIn());
    }

    QUdpSocket server;
    QHostAddress clientAddress;
    quint16 clientPort = 0;
    std::unique_ptr<Receiver> receiver;
};

} // namespace NetTest
