#include <net/sessionkeeper.h>
#include <tests/net/peer.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

using namespace Brellow;
using NetTest::Peer;

// The session keeper against a stand-in server on 127.0.0.1: logins said again
// when nothing comes back, and a session the server ended taken back.
class TestSessionKeeper : public QObject
{
    Q_OBJECT

private slots:
    void unansweredLoginIsRepeated_data();
    void unansweredLoginIsRepeated();
    void resumeLogsInWithTheSameCredentials();
    void resumeStops_data();
    void resumeStops();
    void nothingToResume_data();
    void nothingToResume();

private:
    static SessionKeeper::Timings fast()
    {
        SessionKeeper::Timings timings;
        timings.repeatMs = 150;
        timings.repeats = 2;
        return timings;
    }
};

namespace {

QJsonObject parse(const QByteArray &datagram)
{
    return QJsonDocument::fromJson(datagram).object();
}

QStringList commands(const QList<QByteArray> &datagrams)
{
    QStringList cmds;
    for (const QByteArray &d : datagrams)
        cmds << parse(d).value("cmd").toString();
    return cmds;
}

// Logged in through the keeper, as the agent's login does.
void holdSession(Peer &peer, SessionKeeper &keeper)
{
    keeper.logIn(QStringLiteral("anna"), QStringLiteral("secret"));
    QCOMPARE(parse(peer.next()).value("cmd").toString(), QStringLiteral("login"));
    peer.logIn("s-1");
    QCOMPARE(keeper.state(), SessionKeeper::State::Holding);
    peer.drain(50);
}

} // namespace

void TestSessionKeeper::unansweredLoginIsRepeated_data()
{
    QTest::addColumn<QByteArray>("answer"); // sent after the first repeat; empty: none
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<SessionKeeper::State>("state");
    QTest::newRow("silent server")
        << QByteArray() << QStringList{"login", "test", "login", "test", "login", "test"}
        << SessionKeeper::State::LoggingIn;
    // Only an answer to the login ends the repeats: the server is there, but the
    // login or its answer may still be lost.
    QTest::newRow("test answered") << QByteArray(R"({"cmd":"test_ack"})")
                                   << QStringList{"login", "test", "login", "test", "login"}
                                   << SessionKeeper::State::LoggingIn;
    QTest::newRow("accepted") << QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})")
                              << QStringList{"login", "test", "login", "test"}
                              << SessionKeeper::State::Holding;
    QTest::newRow("refused") << QByteArray(R"({"cmd":"login_ack"})")
                             << QStringList{"login", "test", "login", "test"}
                             << SessionKeeper::State::Idle;
}

void TestSessionKeeper::unansweredLoginIsRepeated()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, sent);
    QFETCH(SessionKeeper::State, state);
    Peer peer;
    SessionKeeper keeper(peer.receiver.get(), fast(), 1);
    QSignalSpy logins(&keeper, &SessionKeeper::loginSent);
    keeper.logIn(QStringLiteral("anna"), QStringLiteral("secret"));

    QList<QByteArray> datagrams = {peer.next(), peer.next()};
    if (!answer.isEmpty()) {
        QTRY_COMPARE(logins.size(), 2);
        datagrams << peer.next() << peer.next();
        peer.send(answer);
    }
    datagrams << peer.drain(600);
    QCOMPARE(commands(datagrams), sent);
    QCOMPARE(keeper.state(), state);
    // Every login the same datagram: the server's digest, never the password.
    for (const QByteArray &d : datagrams) {
        if (parse(d).value("cmd") == QLatin1String("login")) {
            QCOMPARE(d, datagrams.first());
            QCOMPARE(parse(d).value("password").toString(),
                     Receiver::hashPassword(QStringLiteral("secret")));
            QVERIFY(!d.contains("secret"));
        }
    }
    QCOMPARE(keeper.heardSinceLogin(), !answer.isEmpty());
}

void TestSessionKeeper::resumeLogsInWithTheSameCredentials()
{
    Peer peer;
    SessionKeeper keeper(peer.receiver.get(), fast(), 1);
    holdSession(peer, keeper);
    QSignalSpy resumed(&keeper, &SessionKeeper::resumed);

    // The server restarted: our ping is answered by ending the session.
    peer.send(R"({"cmd":"shutdown_ack"})");
    QTRY_VERIFY(!peer.receiver->isLoggedIn());
    QCOMPARE(peer.receiver->lastSessionEnd(), Receiver::SessionEnd::ByServer);
    QVERIFY(keeper.startResuming());
    QCOMPARE(keeper.state(), SessionKeeper::State::Resuming);

    // The first attempt at once, without the old session.
    const QJsonObject login = parse(peer.next());
    QCOMPARE(login.value("cmd").toString(), QStringLiteral("login"));
    QCOMPARE(login.value("username").toString(), QStringLiteral("anna"));
    QCOMPARE(login.value("password").toString(), Receiver::hashPassword("secret"));
    QVERIFY(!login.contains("session_id"));
    QCOMPARE(parse(peer.next()).value("cmd").toString(), QStringLiteral("test"));
    // A server that does not answer its test is not there yet: no repeats, only
    // the next attempt after the back-off's wait.
    QVERIFY(peer.drain(400).isEmpty());
    const QByteArray second = peer.next(5000);
    QCOMPARE(parse(second).value("cmd").toString(), QStringLiteral("login"));
    QCOMPARE(parse(peer.next()).value("cmd").toString(), QStringLiteral("test"));
    // Once it answers, a login still unanswered goes again.
    peer.send(R"({"cmd":"test_ack"})");
    QCOMPARE(peer.next(), second);

    peer.send(R"({"cmd":"login_ack","session_id":"s-2"})");
    QTRY_COMPARE(resumed.size(), 1);
    QCOMPARE(resumed.first().first().toInt(), 2); // attempts
    QCOMPARE(keeper.state(), SessionKeeper::State::Holding);
    QVERIFY(peer.receiver->isLoggedIn());
    for (const QByteArray &d : peer.drain(500))
        QVERIFY2(parse(d).value("cmd") != QLatin1String("login"), d.constData());

    // Our own logout is no end by the server.
    peer.receiver->logout();
    QCOMPARE(parse(peer.next()).value("cmd").toString(), QStringLiteral("logout"));
    peer.send(R"({"cmd":"shutdown_ack"})");
    QTRY_VERIFY(!peer.receiver->isLoggedIn());
    QCOMPARE(peer.receiver->lastSessionEnd(), Receiver::SessionEnd::Asked);
}

void TestSessionKeeper::resumeStops_data()
{
    QTest::addColumn<QString>("server"); // how the server meets the attempts
    QTest::addColumn<qint64>("limitMs");
    QTest::addColumn<SessionKeeper::Stop>("why");
    QTest::newRow("refused") << "refuse" << qint64(60000) << SessionKeeper::Stop::Refused;
    // A server that answers tests but never logins does not want them.
    QTest::newRow("logins ignored")
        << "ignore logins" << qint64(60000) << SessionKeeper::Stop::Refused;
    QTest::newRow("limit") << "silent" << qint64(500) << SessionKeeper::Stop::Expired;
}

void TestSessionKeeper::resumeStops()
{
    QFETCH(QString, server);
    QFETCH(qint64, limitMs);
    QFETCH(SessionKeeper::Stop, why);
    Peer peer;
    SessionKeeper keeper(peer.receiver.get(), fast(), 7);
    keeper.setResumeLimitMs(limitMs);
    holdSession(peer, keeper);
    QSignalSpy stopped(&keeper, &SessionKeeper::resumeStopped);
    QSignalSpy attempts(&keeper, &SessionKeeper::resumeAttempt);
    peer.send(R"({"cmd":"shutdown_ack"})");
    QTRY_VERIFY(!peer.receiver->isLoggedIn());
    QVERIFY(keeper.startResuming());

    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (const QByteArray &d : peer.drain(20)) {
                const QString cmd = parse(d).value("cmd").toString();
                if (server == QLatin1String("refuse") && cmd == QLatin1String("login"))
                    peer.send(R"({"cmd":"login_ack","session_id":""})");
                if (server == QLatin1String("ignore logins") && cmd == QLatin1String("test"))
                    peer.send(R"({"cmd":"test_ack"})");
            }
            return !stopped.isEmpty();
        }(),
        15000);
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped.first().first().value<SessionKeeper::Stop>(), why);
    QCOMPARE(keeper.state(), SessionKeeper::State::Idle);
    QCOMPARE(keeper.username(), QString());
    // Nothing more goes out once it has stopped.
    const int made = attempts.size();
    QVERIFY(made >= 1);
    for (const QByteArray &d : peer.drain(2500))
        QVERIFY2(parse(d).value("cmd") != QLatin1String("login"), d.constData());
    QCOMPARE(attempts.size(), made);
    QVERIFY(!keeper.startResuming());
}

void TestSessionKeeper::nothingToResume_data()
{
    QTest::addColumn<bool>("held");
    QTest::addColumn<qint64>("limitMs");
    QTest::newRow("no credentials") << false << qint64(60000);
    QTest::newRow("resuming off") << true << qint64(0);
}

void TestSessionKeeper::nothingToResume()
{
    QFETCH(bool, held);
    QFETCH(qint64, limitMs);
    Peer peer;
    SessionKeeper keeper(peer.receiver.get(), fast(), 3);
    keeper.setResumeLimitMs(limitMs);
    if (held)
        holdSession(peer, keeper);
    else
        peer.handshake();
    QVERIFY(!keeper.startResuming());
    QVERIFY(keeper.state() != SessionKeeper::State::Resuming);
    QVERIFY(peer.drain(300).isEmpty());
}

QTEST_GUILESS_MAIN(TestSessionKeeper)
#include "tst_sessionkeeper.moc"
