#include <tests/support/fakeserver.h>
#include <tests/support/wait.h>

#include <app/application.h>
#include <net/receiver.h>

#include <QJsonDocument>
#include <QTest>

using namespace Brellow;

namespace UiTest {

quint16 FakeServer::freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

bool FakeServer::listen(quint16 port)
{
    return socket.bind(QHostAddress::LocalHost, port);
}

QJsonObject FakeServer::next(int timeoutMs)
{
    const QByteArray raw = nextRaw(timeoutMs);
    return raw.isNull() ? QJsonObject() : QJsonDocument::fromJson(raw).object();
}

QByteArray FakeServer::nextRaw(int timeoutMs)
{
    if (!waitFor([this] { return socket.hasPendingDatagrams(); }, timeoutMs))
        return {};
    QByteArray data(socket.pendingDatagramSize(), Qt::Uninitialized);
    data.truncate(socket.readDatagram(data.data(), data.size(), &client, &clientPort));
    return data;
}

QList<QJsonObject> FakeServer::drain(int quietMs)
{
    QList<QJsonObject> all;
    for (QByteArray d = nextRaw(quietMs); !d.isNull(); d = nextRaw(quietMs))
        all << QJsonDocument::fromJson(d).object();
    return all;
}

void FakeServer::send(const QByteArray &datagram)
{
    if (clientPort == 0)
        learnClient();
    socket.writeDatagram(datagram, client, clientPort);
}

void FakeServer::send(const QJsonObject &message)
{
    send(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void FakeServer::learnClient()
{
    auto *receiverSocket = Application::instance()->receiver()->findChild<QUdpSocket *>();
    client = receiverSocket->localAddress();
    clientPort = receiverSocket->localPort();
}

} // namespace UiTest
