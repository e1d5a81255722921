// Tests of UdpRelay and brellow-udprelay: datagrams from connected client sockets through
// the relay to an echo server on 127.0.0.1 and back, with and without faults.

#include <tools/udprelay.h>

#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <memory>
#include <sys/prctl.h>

using namespace Brellow;

namespace {

// Answers every datagram with the same bytes, to where it came from.
class EchoServer
{
public:
    EchoServer()
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = m_socket.receiveDatagram();
                if (!datagram.isValid())
                    break;
                received.append(datagram.data());
                peers.insert(datagram.senderPort());
                m_socket.writeDatagram(datagram.data(), datagram.senderAddress(),
                                       quint16(datagram.senderPort()));
            }
        });
    }
    quint16 port() const { return m_socket.localPort(); }

    QList<QByteArray> received;
    QSet<int> peers;

private:
    QUdpSocket m_socket;
};

// A socket connected to the relay, as Brellow's own is to its server: it hears only
// datagrams from the relay's listening port.
class Client
{
public:
    explicit Client(quint16 relayPort)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, relayPort);
        m_socket.waitForConnected(1000);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = m_socket.receiveDatagram();
                if (!datagram.isValid())
                    break;
                received.append(datagram.data());
            }
        });
    }
    void send(const QByteArray &datagram) { m_socket.write(datagram); }
    // Sends "0", "1", ... count - 1.
    QList<QByteArray> sendNumbers(int count)
    {
        QList<QByteArray> sent;
        for (int i = 0; i < count; ++i) {
            sent.append(QByteArray::number(i));
            send(sent.last());
        }
        return sent;
    }

    QList<QByteArray> received;

private:
    QUdpSocket m_socket;
};

QList<QByteArray> sorted(QList<QByteArray> list)
{
    std::sort(list.begin(), list.end(),
              [](const QByteArray &a, const QByteArray &b) { return a.toInt() < b.toInt(); });
    return list;
}

// Everything the relay took in has gone out or was dropped.
bool settled(const UdpRelay &relay, int sentUp)
{
    return relay.counts(UdpRelay::Up).received == sentUp && relay.waitingCount() == 0;
}

} // namespace

Q_DECLARE_METATYPE(UdpRelay::Faults)

class TestUdpRelay : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void reorder_data();
    void reorder();
    void seedsRepeat();
    void clientsKeptApart();
    void program();
};

void TestUdpRelay::faults_data()
{
    QTest::addColumn<UdpRelay::Faults>("faults");
    QTest::addColumn<int>("atServer"); // of 40 sent
    QTest::addColumn<int>("atClient");
    QTest::addColumn<bool>("inOrder");

    UdpRelay::Faults faults;
    QTest::newRow("no faults") << faults << 40 << 40 << true;
    faults.delayMs = 30;
    QTest::newRow("fixed delay") << faults << 40 << 40 << true;
    faults = {};
    faults.dropUp = 1.0;
    QTest::newRow("drop all up") << faults << 0 << 0 << true;
    faults = {};
    faults.dropDown = 1.0;
    QTest::newRow("drop all down") << faults << 40 << 0 << true;
    faults.dropUp = 1.0;
    QTest::newRow("drop all both ways") << faults << 0 << 0 << true;
    faults = {};
    faults.duplicate = 1.0;
    QTest::newRow("duplicate all") << faults << 80 << 160 << false;
}

void TestUdpRelay::faults()
{
    QFETCH(UdpRelay::Faults, faults);
    QFETCH(int, atServer);
    QFETCH(int, atClient);
    QFETCH(bool, inOrder);

    EchoServer server;
    UdpRelay relay(QHostAddress::LocalHost, server.port(), faults, 1);
    QVERIFY(relay.listen());
    QVERIFY(relay.port() != 0);
    Client client(relay.port());
    const QList<QByteArray> sent = client.sendNumbers(40);

    QVERIFY(QTest::qWaitFor(
        [&] {
            return settled(relay, 40) && server.received.size() == atServer &&
                   relay.counts(UdpRelay::Down).received == atServer &&
                   client.received.size() == atClient;
        },
        10000));
    const UdpRelay::Counts up = relay.counts(UdpRelay::Up);
    const UdpRelay::Counts down = relay.counts(UdpRelay::Down);
    QCOMPARE(up.sent, qint64(atServer));
    QCOMPARE(down.sent, qint64(atClient));
    // Every fault in these rows is all or nothing.
    const bool duplicates = faults.duplicate > 0;
    QCOMPARE(up.dropped, faults.dropUp > 0 ? 40 : 0);
    QCOMPARE(down.dropped, faults.dropDown > 0 ? down.received : 0);
    QCOMPARE(up.duplicated, duplicates ? up.received : 0);
    QCOMPARE(down.duplicated, duplicates ? down.received : 0);
    QCOMPARE(up.delayed, faults.delayMs > 0 ? up.sent : 0);
    QCOMPARE(up.reordered + down.reordered, 0);
    if (inOrder) {
        QCOMPARE(server.received, atServer ? sent : QList<QByteArray>());
        QCOMPARE(client.received, atClient ? sent : QList<QByteArray>());
    }
}

void TestUdpRelay::reorder_data()
{
    QTest::addColumn<double>("probability");
    QTest::newRow("every one held") << 1.0;
    QTest::newRow("some held") << 0.3;
}

// A held datagram goes after the next one, or alone after the hold time: nothing is lost.
void TestUdpRelay::reorder()
{
    QFETCH(double, probability);

    EchoServer server;
    UdpRelay::Faults faults;
    faults.reorder = probability;
    faults.reorderHoldMs = 100;
    UdpRelay relay(QHostAddress::LocalHost, server.port(), faults, 5);
    QVERIFY(relay.listen());
    Client client(relay.port());
    const QList<QByteArray> sent = client.sendNumbers(31);

    QVERIFY(QTest::qWaitFor(
        [&] {
            return settled(relay, 31) && server.received.size() == 31 &&
                   client.received.size() == 31;
        },
        10000));
    QCOMPARE(sorted(server.received), sent);
    QCOMPARE(sorted(client.received), sent);
    QVERIFY(server.received != sent);
    QVERIFY(relay.counts(UdpRelay::Up).reordered > 0);
    if (probability == 1.0) {
        // 1 0 3 2 ... 29 28, and the last one alone after its hold time.
        QList<QByteArray> swapped;
        for (int i = 0; i + 1 < 31; i += 2)
            swapped << sent.at(i + 1) << sent.at(i);
        swapped << sent.last();
        QCOMPARE(server.received, swapped);
        QCOMPARE(relay.counts(UdpRelay::Up).reordered, 15);
    }
}

// The same seed and the same datagrams give the same faults; another seed other ones.
void TestUdpRelay::seedsRepeat()
{
    UdpRelay::Faults faults;
    faults.dropUp = 0.4;
    faults.duplicate = 0.3;
    faults.reorder = 0.3;
    faults.reorderHoldMs = 50;
    const auto run = [&](quint32 seed) {
        EchoServer server;
        UdpRelay relay(QHostAddress::LocalHost, server.port(), faults, seed);
        if (!relay.listen())
            return QList<QByteArray>{"cannot listen"};
        Client client(relay.port());
        client.sendNumbers(60);
        if (!QTest::qWaitFor(
                [&] {
                    return settled(relay, 60) &&
                           server.received.size() == relay.counts(UdpRelay::Up).sent;
                },
                10000))
            return QList<QByteArray>{"not settled"};
        return server.received;
    };
    const QList<QByteArray> first = run(7);
    QVERIFY(first.size() > 10);
    QCOMPARE(run(7), first);
    QVERIFY(run(8) != first);
}

// Each client endpoint gets its own upstream port, and only its own answers.
void TestUdpRelay::clientsKeptApart()
{
    EchoServer server;
    UdpRelay relay(QHostAddress::LocalHost, server.port(), {}, 1);
    QVERIFY(relay.listen());
    Client first(relay.port());
    Client second(relay.port());
    for (int i = 0; i < 3; ++i) {
        first.send("first");
        second.send("second");
    }
    QVERIFY(QTest::qWaitFor(
        [&] { return first.received.size() == 3 && second.received.size() == 3; }, 5000));
    QCOMPARE(first.received, QList<QByteArray>(3, "first"));
    QCOMPARE(second.received, QList<QByteArray>(3, "second"));
    QCOMPARE(server.peers.size(), 2);
    QVERIFY(!server.peers.contains(relay.port()));
    QCOMPARE(relay.clientCount(), 2);
}

// The program: reports its port, relays, and tells its counts when it is stopped.
void TestUdpRelay::program()
{
    EchoServer server;
    QProcess relay;
    relay.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    relay.start(QStringLiteral(BRELLOW_UDPRELAY_PATH),
                {QStringLiteral("--server"), QStringLiteral("127.0.0.1:%1").arg(server.port()),
                 QStringLiteral("--drop-down"), QStringLiteral("1"), QStringLiteral("--seed"),
                 QStringLiteral("3")});
    QVERIFY(relay.waitForStarted(5000));
    QByteArray output;
    const QRegularExpression listening(
        QStringLiteral(R"(^listening 127\.0\.0\.1:(\d+) server 127\.0\.0\.1:%1 seed 3$)")
            .arg(server.port()),
        QRegularExpression::MultilineOption);
    QVERIFY(QTest::qWaitFor(
        [&] {
            output += relay.readAllStandardOutput();
            return listening.match(QString::fromUtf8(output)).hasMatch();
        },
        5000));
    const quint16 port = listening.match(QString::fromUtf8(output)).captured(1).toUShort();
    QVERIFY(port != 0);

    Client client(port);
    client.sendNumbers(5);
    QVERIFY(QTest::qWaitFor([&] { return server.received.size() == 5; }, 5000));
    QCOMPARE(::kill(pid_t(relay.processId()), SIGTERM), 0);
    QVERIFY(relay.waitForFinished(5000));
    QCOMPARE(relay.exitStatus(), QProcess::NormalExit);
    QCOMPARE(relay.exitCode(), 0);
    output += relay.readAllStandardOutput();
    const QString text = QString::fromUtf8(output);
    QVERIFY2(text.contains(QStringLiteral("\nup received=5 sent=5 dropped=0 ")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\ndown received=5 sent=0 dropped=5 ")),
             qPrintable(text));
    QVERIFY2(QRegularExpression(QStringLiteral(R"(\nclient 127\.0\.0\.1:\d+ upstream \d+\n)"))
                 .match(text)
                 .hasMatch(),
             qPrintable(text));
    QCOMPARE(client.received.size(), 0);
}

QTEST_GUILESS_MAIN(TestUdpRelay)
#include "tst_udprelay.moc"
