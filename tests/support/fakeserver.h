#pragma once

#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QUdpSocket>

namespace UiTest {

// A stand-in statistics server on 127.0.0.1.
class FakeServer
{
public:
    // Picks a free port before the Application exists (it connects at construction).
    static quint16 freePort();

    bool listen(quint16 port);

    // The next datagram from the program, as an object; empty when none came.
    QJsonObject next(int timeoutMs = 3000);
    QByteArray nextRaw(int timeoutMs = 3000);
    // Everything the program sends within quietMs of the last datagram. It returns only
    // once the program has been quiet for quietMs: pings at a shorter interval than that
    // keep it reading for as long as chance leaves no gap.
    QList<QJsonObject> drain(int quietMs = 300);
    // Sends to the program; its address is learnt from the receiver's socket.
    void send(const QByteArray &datagram);
    void send(const QJsonObject &message);

    QUdpSocket socket;
    QHostAddress client;
    quint16 clientPort = 0;

private:
    void learnClient();
};

} // namespace UiTest
