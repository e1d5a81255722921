#include <net/receiver.h>
#include <tests/net/peer.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUdpSocket>

#include <atomic>
#include <memory>
#include <thread>

using namespace Brellow;
using NetTest::Peer;

// Records every signal of a Receiver by name, in emission order.
class Recorder : public QObject
{
public:
    explicit Recorder(Receiver *r)
    {
        connect(r, &Receiver::loggedIn, this, [this] { events << "loggedIn"; });
        connect(r, &Receiver::loggedOut, this, [this] { events << "loggedOut"; });
        connect(r, &Receiver::ackPing, this, [this] { events << "ackPing"; });
        connect(r, &Receiver::ackNoTransfer, this, [this] { events << "ackNoTransfer"; });
        connect(r, &Receiver::updateStat, this, [this](const QVariantMap &data) {
            events << "updateStat " + QJsonDocument(QJsonObject::fromVariantMap(data))
                                          .toJson(QJsonDocument::Compact);
        });
        connect(r, &Receiver::updateLive, this, [this](const QVariantMap &data) {
            events << "updateLive " + QJsonDocument(QJsonObject::fromVariantMap(data))
                                          .toJson(QJsonDocument::Compact);
        });
    }
    QStringList events;
};

static QString md5(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

static QJsonObject object(const QByteArray &datagram)
{
    return QJsonDocument::fromJson(datagram).object();
}

class TestReceiver : public QObject
{
    Q_OBJECT

private slots:
    void connectsOnlyToUsableDestinations_data();
    void connectsOnlyToUsableDestinations();
    void loginSendsHashedPassword_data();
    void loginSendsHashedPassword();
    void requestsWithoutSession();
    void requestsWithSession();
    void inboundDispatch_data();
    void inboundDispatch();
    void pendingDatagramsHandledInOneCall();
    void testAckGoesToMessageSystem();
    void closedServerPortDoesNotSpin();
    void everyDatagramIsHeard();
    void serverHeardAgainAfterAbsence();
};

void TestReceiver::connectsOnlyToUsableDestinations_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("connected");
    QTest::newRow("loopback") << "127.0.0.1" << true;
    // Brellow looks names up before the Receiver exists. Names that cannot be
    // resolved and unreachable networks are tried through the real program in
    // network namespaces of their own (tst_serverconfig, tst_startup), so that
    // no test asks the machine's resolver.
}

void TestReceiver::connectsOnlyToUsableDestinations()
{
    QFETCH(QString, host);
    QFETCH(bool, connected);
    // A port of this test's own, so that nothing else can be on the other end.
    QUdpSocket server;
    QVERIFY(server.bind(QHostAddress::LocalHost, 0));
    Receiver receiver(nullptr, host, server.localPort());
    QCOMPARE(receiver.isConnected(), connected);
    QVERIFY(!receiver.isLoggedIn());
    QVERIFY(receiver.mediaLinks().isEmpty());
}

void TestReceiver::loginSendsHashedPassword_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("hash");
    QTest::newRow("empty password") << "anna"
                                    << ""
                                    << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("ascii") << "anna"
                           << "secret" << md5("secret");
    QTest::newRow("latin-1 bytes")
        << QString::fromUtf8("j\xc3\xb6rg") << QString::fromUtf8("p\xc3\xa4ss") << md5("p\xe4ss");
    QTest::newRow("outside latin-1 becomes ?")
        << "anna" << QString::fromUtf8("\xe2\x82\xac") << md5("?");
    QTest::newRow("blanks kept") << "  "
                                 << " x " << md5(" x ");
}

void TestReceiver::loginSendsHashedPassword()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    QFETCH(QString, hash);
    Peer peer;
    peer.receiver->login(username, password);
    const QByteArray datagram = peer.next();
    const QJsonObject message = object(datagram);
    QCOMPARE(message.keys(), QStringList({"cmd", "password", "username"}));
    QCOMPARE(message.value("cmd").toString(), QStringLiteral("login"));
    QCOMPARE(message.value("username").toString(), username);
    QCOMPARE(message.value("password").toString(), hash);
    QVERIFY(QRegularExpression("^[0-9a-f]{32}$")
                .match(message.value("password").toString())
                .hasMatch());
    // Members go out in ascending key order.
    QVERIFY(datagram.indexOf("\"cmd\"") < datagram.indexOf("\"password\""));
    QVERIFY(datagram.indexOf("\"password\"") < datagram.indexOf("\"username\""));
    QVERIFY(peer.drain().isEmpty());
}

void TestReceiver::requestsWithoutSession()
{
    Peer peer;
    peer.receiver->logout();
    peer.receiver->ping();
    peer.receiver->noTransfer("reason");
    peer.receiver->test();
    const QList<QByteArray> sent = peer.drain();
    QCOMPARE(sent.size(), 1);
    const QJsonObject test = object(sent.first());
    QCOMPARE(test.keys(), QStringList({"cmd", "data"}));
    QCOMPARE(test.value("cmd").toString(), QStringLiteral("test"));
    const QDateTime sentAt = QDateTime::fromString(test.value("data").toString(), Qt::TextDate);
    QVERIFY(sentAt.isValid());
    QVERIFY(qAbs(sentAt.secsTo(QDateTime::currentDateTime())) < 60);
}

void TestReceiver::requestsWithSession()
{
    Peer peer;
    peer.handshake();
    peer.logIn("abc");

    peer.receiver->ping();
    peer.receiver->noTransfer(QStringLiteral(" line one\r\nline \"two\" "));
    peer.receiver->test();
    peer.receiver->logout();
    QVERIFY(peer.receiver->isLoggedIn()); // only the server's answer ends the session
    peer.receiver->login("anna", "pw");

    const QList<QByteArray> sent = peer.drain();
    QCOMPARE(sent.size(), 6);
    const QStringList cmds = {"ping", "notransfer", "test", "logout", "logout", "login"};
    for (int i = 0; i < sent.size(); ++i) {
        const QJsonObject message = object(sent.at(i));
        QCOMPARE(message.value("cmd").toString(), cmds.at(i));
        QCOMPARE(message.value("session_id").toString(), QStringLiteral("abc"));
    }
    QCOMPARE(object(sent.at(1)).value("text").toString(),
             QStringLiteral(" line one\r\nline \"two\" "));
    QCOMPARE(object(sent.at(0)).keys(), QStringList({"cmd", "session_id"}));

    // A caller's own "session_id" never wins over the held one.
    peer.receiver->sendMessage({{"cmd", "x"}, {"session_id", "forged"}});
    QCOMPARE(object(peer.next()).value("session_id").toString(), QStringLiteral("abc"));
}

void TestReceiver::inboundDispatch_data()
{
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QVariantList>("mediaLinks");

    const QVariantList links = {QVariantList{"b", "Billing"}, QVariantList{"c", "Customer's call"}};
    QTest::newRow("login_ack with session")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":"s1","media_links":[["b","Billing"],["c","Customer's call"]]})"}
        << QStringList{"loggedIn"} << true << links;
    QTest::newRow("numeric session id counts")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":12})"} << QStringList{"loggedIn"}
        << true << QVariantList();
    QTest::newRow("empty session id ends session silently")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":"s1"})",
                          R"({"cmd":"login_ack","session_id":"","media_links":[["x","X"]]})"}
        << QStringList{"loggedIn"} << false << QVariantList{QVariantList{"x", "X"}};
    QTest::newRow("missing media links replace old ones")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":"s1","media_links":[["x","X"]]})",
                          R"({"cmd":"login_ack","session_id":"s2"})"}
        << QStringList{"loggedIn", "loggedIn"} << true << QVariantList();
    QTest::newRow("media links that are not a list read as none")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":"s1","media_links":"text"})"}
        << QStringList{"loggedIn"} << true << QVariantList();
    QTest::newRow("logout_ack without session still signals")
        << QByteArrayList{R"({"cmd":"logout_ack"})"} << QStringList{"loggedOut"} << false
        << QVariantList();
    QTest::newRow("shutdown_ack ends session")
        << QByteArrayList{R"({"cmd":"login_ack","session_id":"s1"})", R"({"cmd":"shutdown_ack"})"}
        << QStringList{"loggedIn", "loggedOut"} << false << QVariantList();
    QTest::newRow("invalid json then ping_ack")
        << QByteArrayList{"{\"cmd\":\"ping_ack\"", "not json", R"({"cmd":"ping_ack"})"}
        << QStringList{"ackPing"} << false << QVariantList();
    QTest::newRow("non-objects and wrong case ignored") << QByteArrayList{R"(["cmd","ping_ack"])",
                                                                          R"("ping_ack")",
                                                                          R"({"cmd":"PING_ACK"})",
                                                                          R"({"cmd":"ping_ack "})",
                                                                          R"({"cmd":["ping_ack"]})",
                                                                          R"({"cmd":7})",
                                                                          "{}",
                                                                          ""}
                                                        << QStringList() << false << QVariantList();
    QTest::newRow("updates with and without data, no session needed")
        << QByteArrayList{R"({"cmd":"update_stat"})", R"({"cmd":"update_stat","data":[1,2]})",
                          R"({"cmd":"update_live","data":{"call_question":3,"call_answers":["5",4]}})",
                          R"({"cmd":"notransfer_ack"})"}
        << QStringList{"updateStat {}", "updateStat {}",
                       R"(updateLive {"call_answers":["5",4],"call_question":3})", "ackNoTransfer"}
        << false << QVariantList();
    QTest::newRow("non-ascii and escapes survive")
        << QByteArrayList{QByteArray(
               R"({"cmd":"update_stat","data":{"name":"K\u00e4the \ud83d\ude00 \"q\""}})")}
        << QStringList{QString::fromUtf8(R"(updateStat {"name":"Käthe 😀 \"q\""})")} << false
        << QVariantList();
}

void TestReceiver::inboundDispatch()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(QStringList, events);
    QFETCH(bool, loggedIn);
    QFETCH(QVariantList, mediaLinks);

    Peer peer;
    peer.handshake();
    Recorder recorder(peer.receiver.get());
    for (const QByteArray &d : datagrams)
        peer.send(d);
    peer.send(R"({"cmd":"notransfer_ack","end":true})"); // marks the end of the row
    QTRY_VERIFY(!recorder.events.isEmpty() && recorder.events.last() == "ackNoTransfer");
    recorder.events.removeLast();
    QCOMPARE(recorder.events, events);
    QCOMPARE(peer.receiver->isLoggedIn(), loggedIn);
    QCOMPARE(peer.receiver->mediaLinks(), mediaLinks);
}

void TestReceiver::pendingDatagramsHandledInOneCall()
{
    Peer peer;
    peer.handshake();
    Recorder recorder(peer.receiver.get());
    auto *socket = peer.receiver->findChild<QUdpSocket *>();
    QVERIFY(socket);
    int readyReads = 0;
    QObject::connect(socket, &QUdpSocket::readyRead, [&] { ++readyReads; });

    peer.send(R"({"cmd":"ping_ack"})");
    peer.send(R"({"cmd":"update_stat","data":{"n":1}})");
    peer.send(R"({"cmd":"notransfer_ack"})");
    QThread::msleep(200); // let all three queue up before the event loop looks
    QTRY_COMPARE(recorder.events.size(), 3);
    QCOMPARE(recorder.events, QStringList({"ackPing", R"(updateStat {"n":1})", "ackNoTransfer"}));
    QCOMPARE(readyReads, 1);
}

static QStringList capturedMessages;
static void captureMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    capturedMessages << text;
}

void TestReceiver::testAckGoesToMessageSystem()
{
    Peer peer;
    peer.handshake();
    Recorder recorder(peer.receiver.get());
    capturedMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    peer.send(R"({"cmd":"test_ack","data":"Thu Dec 10 04:20:00 2026"})");
    peer.send(R"({"cmd":"test_ack"})");
    peer.send(R"({"cmd":"ping_ack"})");
    QTRY_COMPARE(recorder.events, QStringList{"ackPing"});
    qInstallMessageHandler(previous);
    QCOMPARE(capturedMessages, QStringList({"\"Thu Dec 10 04:20:00 2026\" ", "\"\" "}));
}

void TestReceiver::closedServerPortDoesNotSpin()
{
    // Nothing listens on the peer's port once it is closed: the kernel answers with
    // port unreachable, which reaches the socket as a readyRead with nothing to read.
    quint16 closedPort = 0;
    {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        closedPort = probe.localPort();
    }
    Receiver receiver(nullptr, QStringLiteral("127.0.0.1"), closedPort);
    QVERIFY(receiver.isConnected());
    QSignalSpy heard(&receiver, &Receiver::datagramReceived);

    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 200 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!done)
            qFatal("the receiver's read loop did not return");
    });
    for (int i = 0; i < 5; ++i) {
        receiver.test();
        QTest::qWait(50);
    }
    done = true;
    watchdog.join();
    QVERIFY(receiver.isConnected()); // nothing reconnects, nothing needs to
    // The kernel's "unreachable" is no word from the server.
    QCOMPARE(heard.size(), 0);
}

// Each datagram from the server is a sign of life, whatever it holds, and is
// reported before what it says.
void TestReceiver::everyDatagramIsHeard()
{
    Peer peer;
    peer.handshake();
    Recorder recorder(peer.receiver.get());
    QObject::connect(peer.receiver.get(), &Receiver::datagramReceived, &recorder,
                     [&recorder] { recorder.events << "heard"; });
    QObject::connect(peer.receiver.get(), &Receiver::testAnswered, &recorder,
                     [&recorder] { recorder.events << "testAnswered"; });
    QObject::connect(peer.receiver.get(), &Receiver::loginRefused, &recorder,
                     [&recorder] { recorder.events << "loginRefused"; });
    peer.send("not json");
    peer.send(R"({"cmd":"hello"})");
    peer.send(R"(["cmd","ping_ack"])");
    peer.send(R"({"cmd":"ping_ack"})");
    peer.send(R"({"cmd":"login_ack","session_id":"s1"})");
    peer.send(R"({"cmd":"shutdown_ack"})");
    // A "test_ack" tells that the server is there, not that it keeps our session.
    peer.send(R"({"cmd":"test_ack","data":"x"})");
    peer.send(R"({"cmd":"login_ack"})");
    QTRY_COMPARE(recorder.events.size(), 12);
    QCOMPARE(recorder.events,
             QStringList({"heard", "heard", "heard", "heard", "ackPing", "heard", "loggedIn",
                          "heard", "loggedOut", "testAnswered", "heard", "loginRefused"}));
}

// A server that was away (its port closed, so that the kernel answered the client's
// datagrams with "unreachable") is heard again once it is back on the same port.
void TestReceiver::serverHeardAgainAfterAbsence()
{
    // The port stays closed for a while and is then bound again. Below the
    // kernel's ephemeral range, so that no socket bound to port 0 elsewhere (tests
    // run side by side) can take it meanwhile.
    quint16 port = 0;
    for (quint16 candidate = 20000; candidate < 30000 && port == 0; candidate += 37) {
        QUdpSocket probe;
        if (probe.bind(QHostAddress::LocalHost, candidate))
            port = candidate;
    }
    QVERIFY(port != 0);
    Receiver receiver(nullptr, QStringLiteral("127.0.0.1"), port);
    QSignalSpy pings(&receiver, &Receiver::ackPing);
    auto *socket = receiver.findChild<QUdpSocket *>();
    QVERIFY(socket);
    // The kernel's answer wakes the socket as if a datagram had come.
    QSignalSpy unreachable(socket, &QUdpSocket::readyRead);
    receiver.test();
    QTRY_COMPARE(unreachable.size(), 1);
    for (int i = 0; i < 2; ++i)
        receiver.test();

    QUdpSocket server;
    QVERIFY(server.bind(QHostAddress::LocalHost, port));
    receiver.test();
    QTRY_VERIFY(server.hasPendingDatagrams());
    QHostAddress client;
    quint16 clientPort = 0;
    QByteArray datagram(server.pendingDatagramSize(), Qt::Uninitialized);
    QVERIFY(server.readDatagram(datagram.data(), datagram.size(), &client, &clientPort) >= 0);
    server.writeDatagram(R"({"cmd":"ping_ack"})", client, clientPort);
    QTRY_COMPARE(pings.size(), 1);
    QVERIFY(receiver.isConnected());
}

QTEST_GUILESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
