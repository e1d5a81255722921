// Tests of brellow-sim, the practice statistics server. Almost all of them run the real
// binary and talk to it over UDP on 127.0.0.1 with a connected socket, as the client does,
// so an answer that does not come from the listening port never arrives. The server is
// started with --listen 127.0.0.1:0 and the test reads the bound port from its
// "listening" log line.

#include <sim/simlog.h>
#include <sim/simserver.h>
#include <tools/childprocess.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>
#include <numeric>
#include <sys/prctl.h>
#include <vector>

using namespace Brellow;

namespace {

const QString timestampPattern = QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})");

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// What the client puts into "password": MD5 over the Latin-1 bytes, lower-case hex.
QString md5Hex(const QString &password)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(password.toLatin1(), QCryptographicHash::Md5).toHex());
}

// A running brellow-sim; killed at the end of the test if it is still running.
class SimProcess
{
public:
    SimProcess() { ChildProcess::dieWithParent(m_process); }
    ~SimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts the server on a free port of 127.0.0.1 and waits for its "listening" line.
    bool start(const QStringList &arguments)
    {
        // Dies with the test, also when the test is killed.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(QStringLiteral(BRELLOW_SIM_PATH),
                        QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")} +
                            arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        const QRegularExpression listening(QStringLiteral("^") + timestampPattern +
                                           QStringLiteral(R"( listening 127\.0\.0\.1:(\d+)$)"));
        if (!waitForLine(listening))
            return false;
        m_port = listening.match(matching(listening).constFirst()).captured(1).toUShort();
        return m_port != 0;
    }

    quint16 port() const { return m_port; }
    QProcess &process() { return m_process; }

    QStringList lines()
    {
        m_pending += m_process.readAllStandardOutput();
        int newline = 0;
        while ((newline = m_pending.indexOf('\n')) >= 0) {
            m_lines.append(QString::fromUtf8(m_pending.left(newline)));
            m_pending.remove(0, newline + 1);
        }
        return m_lines;
    }

    // The lines so far; lines after it are what a check that follows caused.
    qsizetype mark() { return lines().size(); }

    QStringList matching(const QRegularExpression &pattern, qsizetype from = 0)
    {
        QStringList found;
        for (const QString &line : lines().mid(from)) {
            if (pattern.match(line).hasMatch())
                found.append(line);
        }
        return found;
    }

    bool waitForLine(const QRegularExpression &pattern, int timeoutMs = 3000, qsizetype from = 0)
    {
        return QTest::qWaitFor([&] { return !matching(pattern, from).isEmpty(); }, timeoutMs);
    }

    // Milliseconds since the epoch of every "out" line to the given peer, with its JSON.
    QList<QPair<qint64, QJsonObject>> sentTo(const QString &peer)
    {
        const QRegularExpression out(QStringLiteral("^(") + timestampPattern +
                                     QStringLiteral(") out ") + QRegularExpression::escape(peer) +
                                     QStringLiteral(" (.*)$"));
        QList<QPair<qint64, QJsonObject>> sent;
        for (const QString &line : lines()) {
            const QRegularExpressionMatch match = out.match(line);
            if (match.hasMatch()) {
                sent.append({QDateTime::fromString(match.captured(1), Qt::ISODateWithMs)
                                 .toMSecsSinceEpoch(),
                             QJsonDocument::fromJson(match.captured(2).toUtf8()).object()});
            }
        }
        return sent;
    }

private:
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_pending;
    QStringList m_lines;
};

// A client socket connected to the server, as Brellow's own is.
class Client
{
public:
    explicit Client(quint16 serverPort)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, serverPort);
        m_socket.waitForConnected(1000);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = m_socket.receiveDatagram();
                if (!datagram.isValid())
                    break;
                m_inbox.append(QJsonDocument::fromJson(datagram.data()).object());
            }
        });
    }

    QString peer() const { return QStringLiteral("127.0.0.1:%1").arg(m_socket.localPort()); }
    QString sessionId() const { return m_sessionId; }
    QList<QJsonObject> &inbox() { return m_inbox; }

    void sendRaw(const QByteArray &datagram) { m_socket.write(datagram); }
    void send(const QJsonObject &msg) { sendRaw(compact(msg)); }

    // Sends cmd with the session id held, as the client does.
    void request(const QString &cmd, QJsonObject members = {})
    {
        members.insert(QStringLiteral("cmd"), cmd);
        if (!m_sessionId.isEmpty())
            members.insert(QStringLiteral("session_id"), m_sessionId);
        send(members);
    }

    // Logs in and returns the "login_ack" (empty if none came).
    QJsonObject login(const QString &user, const QString &password)
    {
        request(QStringLiteral("login"), {{QStringLiteral("username"), user},
                                          {QStringLiteral("password"), md5Hex(password)}});
        const QJsonObject ack = take(QStringLiteral("login_ack"));
        m_sessionId = ack.value(QStringLiteral("session_id")).toString();
        return ack;
    }

    void forgetSession() { m_sessionId.clear(); }
    void setSessionId(const QString &id) { m_sessionId = id; }

    // Waits for the first message with this cmd and removes it; empty on timeout.
    QJsonObject take(const QString &cmd, int timeoutMs = 3000)
    {
        const auto find = [&] {
            for (int i = 0; i < m_inbox.size(); ++i) {
                if (m_inbox.at(i).value(QStringLiteral("cmd")).toString() == cmd)
                    return i;
            }
            return -1;
        };
        if (!QTest::qWaitFor([&] { return find() >= 0; }, timeoutMs))
            return {};
        return m_inbox.takeAt(find());
    }

    int count(const QString &cmd) const
    {
        return std::count_if(m_inbox.cbegin(), m_inbox.cend(), [&](const QJsonObject &msg) {
            return msg.value(QStringLiteral("cmd")).toString() == cmd;
        });
    }

private:
    QUdpSocket m_socket;
    QList<QJsonObject> m_inbox;
    QString m_sessionId;
};

enum class IdKind
{
    None,
    Unknown,
    OtherPeer,
    LoggedOut
};

} // namespace

Q_DECLARE_METATYPE(IdKind)

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void login_data();
    void login();
    void demoAccount();
    void requests_data();
    void requests();
    void badSession_data();
    void badSession();
    void malformed_data();
    void malformed();
    void malformedCounted_data() { malformed_data(); }
    void malformedCounted();
    void twoClientsKeptApart();
    void scriptReplayed();
    void generatedFeed();
    void idleSessionEnds();
    void sessionCap();
    void loginFloodIsCapped();
    void malformedCounterDoesNotWrap();
    void helpShowsSessionCap();
    void loginRate_data();
    void loginRate();
    void shutdownSignal_data();
    void shutdownSignal();
    void logFormat_data();
    void logFormat();
    void startupErrors_data();
    void startupErrors();

private:
    QString writeFile(const QString &name, const QByteArray &content);

    QTemporaryDir m_dir;
    QJsonArray m_mediaLinks;
    // One server with an accounts file and no pushes worth speaking of, shared by the
    // tests that only look at answers.
    SimProcess m_shared;
};

QString TestSim::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

void TestSim::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QByteArray users = "# practice accounts\n"
                             "alice " +
                             md5Hex(QStringLiteral("s3cret")).toLatin1() +
                             "\n\n"
                             "   # indented comment\n"
                             "bob\t" +
                             md5Hex(QString()).toLatin1() +
                             "\r\n"
                             "carol " +
                             md5Hex(QStringLiteral("pässwörd")).toUpper().toLatin1() + "\n";
    m_mediaLinks = QJsonArray{
        QJsonArray{QStringLiteral("sales"), QStringLiteral("Sales")},
        QJsonArray{QStringLiteral("obrien"), QStringLiteral("O'Brien's \"urgent\" case")}};
    writeFile(QStringLiteral("users.txt"), users);
    writeFile(QStringLiteral("links.json"), QJsonDocument(m_mediaLinks).toJson());
    QVERIFY(m_shared.start({QStringLiteral("--users"), m_dir.filePath(QStringLiteral("users.txt")),
                            QStringLiteral("--media-links"),
                            m_dir.filePath(QStringLiteral("links.json")),
                            QStringLiteral("--stat-interval"), QStringLiteral("600000"),
                            QStringLiteral("--first-call"), QStringLiteral("600000")}));
    QVERIFY(m_shared.waitForLine(QRegularExpression(QStringLiteral(" accounts 3 "))));
}

void TestSim::login_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("hashed");
    QTest::addColumn<bool>("accepted");

    const QString alice = QStringLiteral("alice");
    const QString secret = QStringLiteral("s3cret");
    QTest::newRow("known user") << alice << secret << true << true;
    QTest::newRow("empty password") << QStringLiteral("bob") << QString() << true << true;
    QTest::newRow("upper-case digest in file")
        << QStringLiteral("carol") << QStringLiteral("pässwörd") << true << true;
    QTest::newRow("wrong password") << alice << QStringLiteral("S3cret") << true << false;
    QTest::newRow("another user's password") << QStringLiteral("bob") << secret << true << false;
    QTest::newRow("unknown user") << QStringLiteral("mallory") << secret << true << false;
    QTest::newRow("user names are case-sensitive")
        << QStringLiteral("Alice") << secret << true << false;
    QTest::newRow("clear-text password") << alice << secret << false << false;
    QTest::newRow("no demo account with a users file")
        << QStringLiteral("demo") << QStringLiteral("demo") << true << false;
}

void TestSim::login()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, hashed);
    QFETCH(bool, accepted);

    Client client(m_shared.port());
    client.send({{QStringLiteral("cmd"), QStringLiteral("login")},
                 {QStringLiteral("username"), user},
                 {QStringLiteral("password"), hashed ? md5Hex(password) : password}});
    const QJsonObject ack = client.take(QStringLiteral("login_ack"));
    QVERIFY2(!ack.isEmpty(), "no login_ack");

    if (accepted) {
        const QJsonValue id = ack.value(QStringLiteral("session_id"));
        QVERIFY(id.isString());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^[0-9a-f]{32,}$")).match(id.toString()).hasMatch(),
            qPrintable(id.toString()));
        QCOMPARE(ack.value(QStringLiteral("media_links")).toArray(), m_mediaLinks);
        // A session gets its figures at once.
        QVERIFY(!client.take(QStringLiteral("update_stat")).isEmpty());
        client.setSessionId(id.toString());
        client.request(QStringLiteral("logout"));
        QVERIFY(!client.take(QStringLiteral("logout_ack")).isEmpty());
    } else {
        QVERIFY2(!ack.contains(QStringLiteral("session_id")), compact(ack).constData());
        QTest::qWait(300);
        QCOMPARE(client.inbox().size(), 0);
    }
}

void TestSim::demoAccount()
{
    SimProcess sim;
    QVERIFY(sim.start({}));
    QVERIFY(sim.waitForLine(QRegularExpression(QStringLiteral(" account demo demo$"))));

    Client first(sim.port());
    Client second(sim.port());
    const QJsonObject ack = first.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!first.sessionId().isEmpty());
    QVERIFY(!second.login(QStringLiteral("demo"), QStringLiteral("demo")).isEmpty());
    QVERIFY(!second.sessionId().isEmpty());
    QVERIFY(first.sessionId() != second.sessionId());

    // The built-in call reasons: [value, text] string pairs, one text with an apostrophe.
    const QJsonArray links = ack.value(QStringLiteral("media_links")).toArray();
    QVERIFY(links.size() >= 3);
    bool apostrophe = false;
    for (const QJsonValue &link : links) {
        const QJsonArray pair = link.toArray();
        QCOMPARE(pair.size(), 2);
        QVERIFY(pair.at(0).isString() && !pair.at(0).toString().isEmpty());
        QVERIFY(pair.at(1).isString() && !pair.at(1).toString().isEmpty());
        apostrophe = apostrophe || pair.at(1).toString().contains(QLatin1Char('\''));
    }
    QVERIFY(apostrophe);

    // A login that carries the session id of the client's session replaces that session.
    const QString oldId = first.sessionId();
    QVERIFY(!first.login(QStringLiteral("demo"), QStringLiteral("demo")).isEmpty());
    QVERIFY(!first.sessionId().isEmpty());
    QVERIFY(first.sessionId() != oldId);
    first.request(QStringLiteral("ping"));
    QVERIFY(!first.take(QStringLiteral("ping_ack")).isEmpty());
    first.setSessionId(oldId);
    first.request(QStringLiteral("ping"));
    QVERIFY(!first.take(QStringLiteral("shutdown_ack")).isEmpty());
    QCOMPARE(first.count(QStringLiteral("ping_ack")), 0);

    // The other client's session is untouched by all of this.
    second.request(QStringLiteral("ping"));
    QVERIFY(!second.take(QStringLiteral("ping_ack")).isEmpty());
    QCOMPARE(second.count(QStringLiteral("shutdown_ack")), 0);
}

void TestSim::requests_data()
{
    QTest::addColumn<QJsonObject>("request");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QJsonObject>("answer");

    const auto obj = [](const QByteArray &json) { return QJsonDocument::fromJson(json).object(); };
    QTest::newRow("ping") << obj(R"({"cmd":"ping"})") << true << obj(R"({"cmd":"ping_ack"})");
    QTest::newRow("ping with an extra member")
        << obj(R"({"cmd":"ping","extra":[1]})") << true << obj(R"({"cmd":"ping_ack"})");
    QTest::newRow("notransfer") << obj(R"({"cmd":"notransfer","text":"Customer's request"})")
                                << true << obj(R"({"cmd":"notransfer_ack"})");
    QTest::newRow("logout") << obj(R"({"cmd":"logout"})") << true << obj(R"({"cmd":"logout_ack"})");
    QTest::newRow("test in a session")
        << obj(R"({"cmd":"test","data":"Wed Dec 10 04:20:00 2026"})") << true
        << obj(R"({"cmd":"test_ack","data":"Wed Dec 10 04:20:00 2026"})");
    QTest::newRow("test without a session")
        << obj(R"({"cmd":"test","data":"Gr\u00fc\u00dfe \u260e \"quoted\""})") << false
        << obj(R"({"cmd":"test_ack","data":"Gr\u00fc\u00dfe \u260e \"quoted\""})");
}

void TestSim::requests()
{
    QFETCH(QJsonObject, request);
    QFETCH(bool, loggedIn);
    QFETCH(QJsonObject, answer);

    Client client(m_shared.port());
    if (loggedIn) {
        client.login(QStringLiteral("alice"), QStringLiteral("s3cret"));
        QVERIFY(!client.sessionId().isEmpty());
        QVERIFY(!client.take(QStringLiteral("update_stat")).isEmpty());
    }
    client.request(request.take(QStringLiteral("cmd")).toString(), request);
    const QJsonObject reply = client.take(answer.value(QStringLiteral("cmd")).toString());
    QCOMPARE(compact(reply), compact(answer));
    QTest::qWait(100);
    QVERIFY2(client.inbox().isEmpty(), "more than one answer");
}

void TestSim::badSession_data()
{
    QTest::addColumn<QString>("cmd");
    QTest::addColumn<IdKind>("idKind");

    for (const char *cmd : {"ping", "notransfer", "logout"}) {
        QTest::addRow("%s, no session_id", cmd) << QString::fromLatin1(cmd) << IdKind::None;
        QTest::addRow("%s, unknown session_id", cmd) << QString::fromLatin1(cmd) << IdKind::Unknown;
        QTest::addRow("%s, another client's session_id", cmd)
            << QString::fromLatin1(cmd) << IdKind::OtherPeer;
        QTest::addRow("%s, logged-out session_id", cmd)
            << QString::fromLatin1(cmd) << IdKind::LoggedOut;
    }
}

// A request that needs a session but names none of the sender's is answered with
// "shutdown_ack" (so the client drops what it holds), and no real session is touched.
void TestSim::badSession()
{
    QFETCH(QString, cmd);
    QFETCH(IdKind, idKind);

    Client owner(m_shared.port());
    Client intruder(m_shared.port());
    owner.login(QStringLiteral("alice"), QStringLiteral("s3cret"));
    const QString ownerId = owner.sessionId();
    QVERIFY(!ownerId.isEmpty());

    Client *sender = &owner;
    QJsonObject members{{QStringLiteral("text"), QStringLiteral("reason")}};
    switch (idKind) {
    case IdKind::None:
        owner.forgetSession();
        break;
    case IdKind::Unknown:
        owner.setSessionId(QStringLiteral("0123456789abcdef0123456789abcdef"));
        break;
    case IdKind::OtherPeer:
        intruder.setSessionId(owner.sessionId());
        sender = &intruder;
        break;
    case IdKind::LoggedOut:
        owner.request(QStringLiteral("logout"));
        QVERIFY(!owner.take(QStringLiteral("logout_ack")).isEmpty());
        break;
    }
    sender->request(cmd, cmd == QLatin1String("notransfer") ? members : QJsonObject());
    QCOMPARE(compact(sender->take(QStringLiteral("shutdown_ack"))),
             QByteArray(R"({"cmd":"shutdown_ack"})"));
    QTest::qWait(100);
    QCOMPARE(sender->count(cmd + QStringLiteral("_ack")), 0);

    if (idKind == IdKind::LoggedOut)
        return;
    // The real session still answers, and its owner heard nothing of the intrusion.
    if (idKind == IdKind::OtherPeer)
        QCOMPARE(owner.count(QStringLiteral("shutdown_ack")), 0);
    owner.setSessionId(ownerId);
    owner.request(QStringLiteral("ping"));
    QVERIFY(!owner.take(QStringLiteral("ping_ack")).isEmpty());
}

void TestSim::malformed_data()
{
    // "SID" stands for the sending client's real session id.
    QTest::addColumn<QByteArray>("datagram");

    QTest::newRow("not JSON") << QByteArray("hello");
    QTest::newRow("truncated JSON") << QByteArray(R"({"cmd":"ping","session_id":"SID")");
    QTest::newRow("empty datagram") << QByteArray();
    QTest::newRow("binary bytes") << QByteArray("\x00\x01\xff{\n", 5);
    QTest::newRow("JSON array") << QByteArray(R"(["ping","SID"])");
    QTest::newRow("JSON string") << QByteArray(R"("ping")");
    QTest::newRow("JSON number") << QByteArray("12");
    QTest::newRow("no cmd") << QByteArray(R"({"session_id":"SID"})");
    QTest::newRow("cmd not a string") << QByteArray(R"({"cmd":7,"session_id":"SID"})");
    QTest::newRow("cmd in upper case") << QByteArray(R"({"cmd":"PING","session_id":"SID"})");
    QTest::newRow("server's cmd sent to the server")
        << QByteArray(R"({"cmd":"ping_ack","session_id":"SID"})");
    QTest::newRow("session_id not a string") << QByteArray(R"({"cmd":"ping","session_id":12})");
    QTest::newRow("login without password")
        << QByteArray(R"({"cmd":"login","username":"alice","session_id":"SID"})");
    QTest::newRow("password not a string")
        << QByteArray(R"({"cmd":"login","username":"alice","password":123,"session_id":"SID"})");
    QTest::newRow("notransfer text not a string")
        << QByteArray(R"({"cmd":"notransfer","text":["x"],"session_id":"SID"})");
    QTest::newRow("test data not a string") << QByteArray(R"({"cmd":"test","data":{"a":1}})");
}

// Ignored without an answer; the next datagram is answered and the session lives on.
void TestSim::malformed()
{
    QFETCH(QByteArray, datagram);

    Client client(m_shared.port());
    client.login(QStringLiteral("alice"), QStringLiteral("s3cret"));
    QVERIFY(!client.sessionId().isEmpty());
    QVERIFY(!client.take(QStringLiteral("update_stat")).isEmpty());

    // The shared server's log holds earlier clients too, and one of them may have
    // had this client's port.
    const qsizetype mark = m_shared.mark();
    client.sendRaw(QByteArray(datagram).replace("SID", client.sessionId().toLatin1()));
    client.send({{QStringLiteral("cmd"), QStringLiteral("test")},
                 {QStringLiteral("data"), QStringLiteral("after")}});
    QVERIFY(QTest::qWaitFor([&] { return !client.inbox().isEmpty(); }, 3000));
    QCOMPARE(compact(client.inbox().takeFirst()),
             QByteArray(R"({"cmd":"test_ack","data":"after"})"));

    const QRegularExpression ignored(QStringLiteral(" ignored ") +
                                     QRegularExpression::escape(client.peer()) +
                                     QStringLiteral(" .*malformed"));
    QVERIFY(m_shared.waitForLine(ignored, 3000, mark));
    const QStringList lines = m_shared.matching(ignored, mark);
    QVERIFY2(lines.size() == 1, qPrintable(lines.join(QLatin1Char('\n'))));

    client.request(QStringLiteral("ping"));
    QVERIFY(!client.take(QStringLiteral("ping_ack")).isEmpty());
    QCOMPARE(client.inbox().size(), 0);
    QCOMPARE(m_shared.process().state(), QProcess::Running);
}

// The same datagrams, straight into a SimServer: each one is counted.
void TestSim::malformedCounted()
{
    QFETCH(QByteArray, datagram);

    std::FILE *devNull = std::fopen("/dev/null", "w");
    QVERIFY(devNull);
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> closer(devNull, &std::fclose);
    SimLog log(devNull);
    SimConfig config;
    config.accounts = Accounts::demo();
    SimServer server(config, &log);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));

    Client client(server.port());
    client.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!client.sessionId().isEmpty());
    QCOMPARE(server.malformedCount(), 0);
    client.sendRaw(QByteArray(datagram).replace("SID", client.sessionId().toLatin1()));
    QVERIFY(QTest::qWaitFor([&] { return server.malformedCount() > 0; }, 3000));
    client.request(QStringLiteral("ping"));
    QVERIFY(!client.take(QStringLiteral("ping_ack")).isEmpty());
    QCOMPARE(server.malformedCount(), 1);
    QCOMPARE(server.sessionCount(), 1);
}

// Each session's pushes go to its own peer only: the second client logs in while the first
// one's script runs and leaves half-way; the first still gets its whole script once.
void TestSim::twoClientsKeptApart()
{
    QByteArray script = "# four figures, 150 ms apart\n";
    for (int i = 1; i <= 4; ++i)
        script += R"({"delay_ms":150,"msg":{"cmd":"update_stat","data":{"user_surveys":)" +
                  QByteArray::number(i) + "}}}\n";
    SimProcess sim;
    QVERIFY(
        sim.start({QStringLiteral("--script"), writeFile(QStringLiteral("apart.jsonl"), script)}));

    const auto figures = [](Client &client) {
        QList<int> seen;
        for (const QJsonObject &msg : client.inbox()) {
            if (msg.value(QStringLiteral("cmd")).toString() == QLatin1String("update_stat"))
                seen.append(
                    msg.value(QStringLiteral("data"))[QStringLiteral("user_surveys")].toInt());
        }
        return seen;
    };

    Client first(sim.port());
    Client second(sim.port());
    first.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(QTest::qWaitFor([&] { return figures(first).size() == 1; }, 3000));
    second.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(QTest::qWaitFor([&] { return figures(second).size() == 2; }, 3000));
    second.request(QStringLiteral("logout"));
    QVERIFY(!second.take(QStringLiteral("logout_ack")).isEmpty());
    const QList<int> secondAtLogout = figures(second);

    QVERIFY(QTest::qWaitFor([&] { return figures(first).size() >= 4; }, 3000));
    QTest::qWait(500);
    QCOMPARE(figures(first), QList<int>({1, 2, 3, 4}));
    QCOMPARE(figures(second), secondAtLogout);
    QCOMPARE(secondAtLogout.mid(0, 2), QList<int>({1, 2}));
    QCOMPARE(second.inbox().size(), secondAtLogout.size());
}

void TestSim::scriptReplayed()
{
    const QByteArray script =
        "# a short demo\n"
        "\n"
        R"({"delay_ms": 100, "msg": {"cmd":"update_live","data":{"call_started":true,"call_cli":"07700 900123","call_question":0,"call_answers":[]}}})"
        "\n"
        "   # pauses count from the previous entry\n"
        R"({"msg": {"cmd":"update_stat","data":{"average_score":0.82}}, "delay_ms": 300})"
        "\r\n"
        R"({"delay_ms": 0, "msg": {"cmd":"test_ack","data":"same time"}})"
        "\n"
        R"({"delay_ms": 200, "msg": {"anything":[1,"two",null]}})"
        "\n";
    const QList<int> delays{100, 300, 0, 200};
    QList<QJsonObject> expected;
    for (const QByteArray &line : script.split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (!entry.isEmpty())
            expected.append(entry.value(QStringLiteral("msg")).toObject());
    }
    QCOMPARE(expected.size(), delays.size());

    SimProcess sim;
    QVERIFY(
        sim.start({QStringLiteral("--script"), writeFile(QStringLiteral("demo.jsonl"), script)}));
    Client client(sim.port());
    client.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!client.sessionId().isEmpty());
    QVERIFY(QTest::qWaitFor([&] { return client.inbox().size() >= expected.size(); }, 3000));
    QTest::qWait(400);
    QCOMPARE(client.inbox(), expected);

    // The delays, measured where they are kept: at the server's sends.
    QList<QPair<qint64, QJsonObject>> sent;
    QVERIFY(QTest::qWaitFor([&] { return (sent = sim.sentTo(client.peer())).size() == 5; }, 3000));
    QCOMPARE(sent.at(0).second.value(QStringLiteral("cmd")).toString(),
             QStringLiteral("login_ack"));
    for (int i = 0; i < delays.size(); ++i) {
        const qint64 gap = sent.at(i + 1).first - sent.at(i).first;
        QVERIFY2(gap >= delays.at(i) - 1,
                 qPrintable(QStringLiteral("entry %1 after %2 ms").arg(i + 1).arg(gap)));
    }
}

// The generated feed: figures at login and then regularly, and calls that run from their
// start through the answers to the outcome, with the figures following the outcomes.
void TestSim::generatedFeed()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--stat-interval"), QStringLiteral("250"),
                       QStringLiteral("--first-call"), QStringLiteral("100"),
                       QStringLiteral("--answer-step"), QStringLiteral("50"),
                       QStringLiteral("--call-interval"), QStringLiteral("100")}));
    Client client(sim.port());
    client.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!client.sessionId().isEmpty());

    int outcomes = 0;
    int completed = 0;
    const auto countOutcomes = [&] {
        outcomes = completed = 0;
        for (const QJsonObject &msg : client.inbox()) {
            const QJsonObject data = msg.value(QStringLiteral("data")).toObject();
            if (data.contains(QStringLiteral("call_completed"))) {
                ++outcomes;
                completed += data.value(QStringLiteral("call_completed")).toBool() ? 1 : 0;
            }
        }
        return outcomes >= 2 && completed >= 1;
    };
    QVERIFY2(QTest::qWaitFor(countOutcomes, 15000), "no two calls with a completed one");
    // Let the figures that follow the last outcome arrive.
    QTest::qWait(100);
    const QList<QJsonObject> messages = client.inbox();
    QCOMPARE(messages.first().value(QStringLiteral("cmd")).toString(),
             QStringLiteral("update_stat"));

    const QRegularExpression cliPattern(QStringLiteral(R"(^0\d{4} \d{6}$)"));
    const auto isWhole = [](const QJsonValue &v) {
        return v.isDouble() && v.toDouble() == v.toInt();
    };
    int stats = 0;
    int lastUserSurveys = -1;
    int lastTeamSurveys = -1;
    int expectUserSurveys = -1; // set after an outcome: what the next figures must show
    bool inCall = false;
    QString cli;
    QJsonArray answers;
    for (const QJsonObject &msg : messages) {
        const QString cmd = msg.value(QStringLiteral("cmd")).toString();
        const QJsonObject data = msg.value(QStringLiteral("data")).toObject();
        const QByteArray text = compact(msg);
        if (cmd == QLatin1String("update_stat")) {
            ++stats;
            for (const char *key : {"user_surveys", "team_position", "team_surveys"})
                QVERIFY2(isWhole(data.value(QLatin1String(key))), text.constData());
            const double average = data.value(QStringLiteral("average_score")).toDouble(-1);
            QVERIFY2(average >= 0 && average <= 1, text.constData());
            const int userSurveys = data.value(QStringLiteral("user_surveys")).toInt();
            const int teamSurveys = data.value(QStringLiteral("team_surveys")).toInt();
            QVERIFY2(data.value(QStringLiteral("team_position")).toInt() >= 1, text.constData());
            QVERIFY2(teamSurveys >= userSurveys && userSurveys >= 0, text.constData());
            QVERIFY2(teamSurveys >= lastTeamSurveys, text.constData());
            if (expectUserSurveys >= 0)
                QCOMPARE(userSurveys, expectUserSurveys);
            else if (lastUserSurveys >= 0)
                QCOMPARE(userSurveys, lastUserSurveys);
            expectUserSurveys = -1;
            lastUserSurveys = userSurveys;
            lastTeamSurveys = teamSurveys;
            continue;
        }
        QCOMPARE(cmd, QStringLiteral("update_live"));
        const int question = data.value(QStringLiteral("call_question")).toInt(-1);
        const QJsonArray callAnswers = data.value(QStringLiteral("call_answers")).toArray();
        if (!inCall) {
            // A call starts with its caller and no answers.
            QVERIFY2(data.value(QStringLiteral("call_started")).toBool(), text.constData());
            cli = data.value(QStringLiteral("call_cli")).toString();
            QVERIFY2(cliPattern.match(cli).hasMatch(), text.constData());
            QCOMPARE(question, 0);
            QVERIFY(callAnswers.isEmpty());
            QVERIFY2(!data.contains(QStringLiteral("call_completed")), text.constData());
            inCall = true;
            answers = {};
            continue;
        }
        QVERIFY2(!data.value(QStringLiteral("call_started")).toBool(), text.constData());
        QCOMPARE(data.value(QStringLiteral("call_cli")).toString(), cli);
        QCOMPARE(question, callAnswers.size());
        if (!data.contains(QStringLiteral("call_completed"))) {
            // One more answer, the earlier ones unchanged, each 1..5 as a number or a text.
            QCOMPARE(question, answers.size() + 1);
            QVERIFY(question <= 5);
            for (int i = 0; i < answers.size(); ++i)
                QCOMPARE(callAnswers.at(i), answers.at(i));
            const QJsonValue answer = callAnswers.last();
            const int value = answer.isString() ? answer.toString().toInt() : answer.toInt();
            QVERIFY2((answer.isString() || isWhole(answer)) && value >= 1 && value <= 5,
                     text.constData());
            answers = callAnswers;
            continue;
        }
        // The outcome: same answers, a flag and a score that is their mean.
        QCOMPARE(callAnswers, answers);
        QVERIFY(question >= 1);
        const QJsonValue done = data.value(QStringLiteral("call_completed"));
        QVERIFY2(done.isBool(), text.constData());
        if (done.toBool())
            QCOMPARE(question, 5);
        const QJsonValue scoreValue = data.value(QStringLiteral("call_score"));
        bool numeric = scoreValue.isDouble();
        const double score =
            numeric ? scoreValue.toDouble() : scoreValue.toString().toDouble(&numeric);
        QVERIFY2(numeric, text.constData());
        double sum = 0;
        for (const QJsonValue &answer : answers)
            sum += answer.isString() ? answer.toString().toInt() : answer.toInt();
        QVERIFY2(qAbs(score - sum / answers.size()) <= 0.05 + 1e-9, text.constData());
        expectUserSurveys = lastUserSurveys + (done.toBool() ? 1 : 0);
        inCall = false;
    }
    QVERIFY2(stats >= 3, "too few update_stat messages");
}

void TestSim::idleSessionEnds()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--idle-timeout"), QStringLiteral("800"),
                       QStringLiteral("--stat-interval"), QStringLiteral("100")}));
    Client client(sim.port());
    client.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!client.sessionId().isEmpty());

    // Pings keep the session alive well past the idle time.
    for (int i = 0; i < 6; ++i) {
        client.request(QStringLiteral("ping"));
        QVERIFY(!client.take(QStringLiteral("ping_ack")).isEmpty());
        QTest::qWait(200);
    }
    QCOMPARE(client.count(QStringLiteral("shutdown_ack")), 0);

    // Silence ends it, with word to the client, and the pushes stop.
    QVERIFY(!client.take(QStringLiteral("shutdown_ack"), 3000).isEmpty());
    QVERIFY(sim.waitForLine(QRegularExpression(QStringLiteral(" session ") +
                                               QRegularExpression::escape(client.peer()) +
                                               QStringLiteral(" [0-9a-f]+ closed idle$"))));
    client.inbox().clear();
    QTest::qWait(400);
    QCOMPARE(client.inbox().size(), 0);
    client.request(QStringLiteral("ping"));
    QVERIFY(!client.take(QStringLiteral("shutdown_ack")).isEmpty());
}

// While the cap's number of sessions is open, a login from any other peer gets a
// "login_ack" without a session id and a log line that says why; a session that ends
// makes room again, and a peer that holds a session may still replace it.
void TestSim::sessionCap()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--max-sessions"), QStringLiteral("3"),
                       QStringLiteral("--stat-interval"), QStringLiteral("600000"),
                       QStringLiteral("--first-call"), QStringLiteral("600000")}));
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 4; ++i)
        clients.push_back(std::make_unique<Client>(sim.port()));
    for (int i = 0; i < 3; ++i) {
        clients[i]->login(QStringLiteral("demo"), QStringLiteral("demo"));
        QVERIFY(!clients[i]->sessionId().isEmpty());
    }

    Client &late = *clients[3];
    const QJsonObject refused = late.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(refused.value(QStringLiteral("cmd")).toString(), QStringLiteral("login_ack"));
    QVERIFY(!refused.contains(QStringLiteral("session_id")));
    QVERIFY(sim.waitForLine(
        QRegularExpression(QStringLiteral(" session ") + QRegularExpression::escape(late.peer()) +
                           QStringLiteral(R"( - refused user demo \(full: 3 sessions\)$)"))));
    late.request(QStringLiteral("ping"));
    QVERIFY(!late.take(QStringLiteral("shutdown_ack")).isEmpty());

    // A held session is replaced even at the cap: the peer ends its own first.
    const QString oldId = clients[0]->sessionId();
    clients[0]->login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!clients[0]->sessionId().isEmpty());
    QVERIFY(clients[0]->sessionId() != oldId);

    clients[1]->request(QStringLiteral("logout"));
    QVERIFY(!clients[1]->take(QStringLiteral("logout_ack")).isEmpty());
    late.login(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(!late.sessionId().isEmpty());
    late.request(QStringLiteral("ping"));
    QVERIFY(!late.take(QStringLiteral("ping_ack")).isEmpty());
    QCOMPARE(sim.process().state(), QProcess::Running);
}

// Logins from many ports at once, with the default settings: no more sessions open than
// the default cap, every other login is refused, and only sessions get pushes.
void TestSim::loginFloodIsCapped()
{
    const int cap = SimConfig().maxSessions;
    QVERIFY(cap >= 1);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet")}));
    // In batches, so that a busy machine does not overflow the server's receive buffer.
    std::vector<std::unique_ptr<Client>> clients;
    const auto answered = [&] {
        return std::all_of(clients.cbegin(), clients.cend(), [](const auto &client) {
            return client->count(QStringLiteral("login_ack")) == 1;
        });
    };
    while (int(clients.size()) < cap + 20) {
        for (int i = 0; i < 20; ++i) {
            clients.push_back(std::make_unique<Client>(sim.port()));
            clients.back()->request(QStringLiteral("login"),
                                    {{QStringLiteral("username"), QStringLiteral("demo")},
                                     {QStringLiteral("password"), md5Hex(QStringLiteral("demo"))}});
        }
        QVERIFY(QTest::qWaitFor(answered, 10000));
    }
    int sessions = 0;
    for (const auto &client : clients) {
        const QJsonObject ack = client->take(QStringLiteral("login_ack"));
        if (!ack.value(QStringLiteral("session_id")).toString().isEmpty())
            ++sessions;
        else
            QVERIFY(!ack.contains(QStringLiteral("session_id")));
    }
    QCOMPARE(sessions, cap);
}

void TestSim::malformedCounterDoesNotWrap()
{
    using Count = decltype(std::declval<const SimServer &>().malformedCount());
    QVERIFY(std::numeric_limits<Count>::max() >= std::numeric_limits<qint64>::max());
}

void TestSim::helpShowsSessionCap()
{
    QProcess sim;
    ChildProcess::dieWithParent(sim);
    sim.start(QStringLiteral(BRELLOW_SIM_PATH), {QStringLiteral("--help")});
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 0);
    const QString help = QString::fromUtf8(sim.readAllStandardOutput());
    QVERIFY2(help.contains(QStringLiteral("--max-sessions <N>")), qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("(default %1)").arg(SimConfig().maxSessions)),
             qPrintable(help));
}

void TestSim::loginRate_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<int>>("bursts"); // logins sent at once, each burst in a later second
    QTest::addColumn<bool>("logged");

    const QString rate = QStringLiteral("--login-rate");
    QTest::newRow("one login") << QStringList{rate} << QList<int>{1} << true;
    QTest::newRow("bursts in separate seconds") << QStringList{rate} << QList<int>{3, 5} << true;
    QTest::newRow("quiet") << QStringList{rate, QStringLiteral("--quiet")} << QList<int>{4} << true;
    QTest::newRow("without the option") << QStringList() << QList<int>{4} << false;
}

// "logins N/s" just after each second with logins; refused logins count as well.
void TestSim::loginRate()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<int>, bursts);
    QFETCH(bool, logged);

    SimProcess sim;
    QVERIFY(sim.start(arguments));
    Client client(sim.port());
    const QRegularExpression rateLine(QStringLiteral("^") + timestampPattern +
                                      QStringLiteral(R"( logins (\d+)/s$)"));
    const QRegularExpression anyRate(QStringLiteral(" logins "));
    const auto loggedSince = [&](qsizetype first) {
        QList<int> counts;
        const QStringList lines = sim.matching(anyRate);
        for (qsizetype i = first; i < lines.size(); ++i) {
            const QRegularExpressionMatch match = rateLine.match(lines.at(i));
            counts.append(match.hasMatch() ? match.captured(1).toInt() : -1);
        }
        return counts;
    };
    const auto sum = [](const QList<int> &counts) {
        return std::accumulate(counts.cbegin(), counts.cend(), 0);
    };

    qsizetype seen = 0;
    for (const int burst : bursts) {
        for (int i = 0; i < burst; ++i) {
            const QString password = i % 2 == 0 ? QStringLiteral("demo") : QStringLiteral("nope");
            client.request(QStringLiteral("login"),
                           {{QStringLiteral("username"), QStringLiteral("demo")},
                            {QStringLiteral("password"), md5Hex(password)}});
        }
        QVERIFY(QTest::qWaitFor([&] { return client.count(QStringLiteral("login_ack")) == burst; },
                                5000));
        client.inbox().clear();
        if (!logged) {
            // Past the end of the second the logins came in, and some more.
            QTest::qWait(1500);
            QCOMPARE(sim.matching(anyRate).size(), 0);
            continue;
        }
        QVERIFY2(QTest::qWaitFor([&] { return sum(loggedSince(seen)) >= burst; }, 5000),
                 qPrintable(sim.matching(anyRate).join(QLatin1Char('\n'))));
        const QList<int> counts = loggedSince(seen);
        QCOMPARE(sum(counts), burst);
        // One burst straddles at most one turn of the second.
        QVERIFY(counts.size() <= 2);
        for (const int count : counts)
            QVERIFY(count >= 1);
        seen += counts.size();
    }
}

void TestSim::shutdownSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGTERM") << int(SIGTERM) << QStringLiteral("SIGTERM");
    QTest::newRow("SIGINT") << int(SIGINT) << QStringLiteral("SIGINT");
}

void TestSim::shutdownSignal()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, name);

    SimProcess sim;
    QVERIFY(sim.start({}));
    Client first(sim.port());
    Client second(sim.port());
    Client loggedOut(sim.port());
    Client stranger(sim.port());
    for (Client *client : {&first, &second, &loggedOut}) {
        client->login(QStringLiteral("demo"), QStringLiteral("demo"));
        QVERIFY(!client->sessionId().isEmpty());
    }
    loggedOut.request(QStringLiteral("logout"));
    QVERIFY(!loggedOut.take(QStringLiteral("logout_ack")).isEmpty());
    stranger.send({{QStringLiteral("cmd"), QStringLiteral("test")}});
    QVERIFY(!stranger.take(QStringLiteral("test_ack")).isEmpty());

    QCOMPARE(::kill(static_cast<pid_t>(sim.process().processId()), signalNumber), 0);
    QVERIFY(sim.process().waitForFinished(5000));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);

    QVERIFY(!first.take(QStringLiteral("shutdown_ack")).isEmpty());
    QVERIFY(!second.take(QStringLiteral("shutdown_ack")).isEmpty());
    QTest::qWait(100);
    QCOMPARE(loggedOut.count(QStringLiteral("shutdown_ack")), 0);
    QCOMPARE(stranger.inbox().size(), 0);
    for (const Client *client : {&first, &second}) {
        QCOMPARE(sim.matching(QRegularExpression(QStringLiteral(" out ") +
                                                 QRegularExpression::escape(client->peer()) +
                                                 QStringLiteral(R"( \{"cmd":"shutdown_ack"\}$)")))
                     .size(),
                 1);
    }
    QVERIFY(!sim.matching(QRegularExpression(QStringLiteral(" stopped ") + name +
                                             QStringLiteral(" malformed=0$")))
                 .isEmpty());
}

void TestSim::logFormat_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("datagrams logged") << false;
    QTest::newRow("quiet") << true;
}

// The log is read by other tests: "<time> in <peer> <datagram as received>" with control
// characters escaped, "<time> out <peer> <compact JSON>".
void TestSim::logFormat()
{
    QFETCH(bool, quiet);

    SimProcess sim;
    QVERIFY(sim.start(quiet ? QStringList{QStringLiteral("--quiet")} : QStringList()));
    Client client(sim.port());
    client.sendRaw("{ \"data\" : \"log check\",\n\t\"cmd\":\"test\"}");
    QVERIFY(!client.take(QStringLiteral("test_ack")).isEmpty());

    const QString ts = QStringLiteral("^") + timestampPattern;
    const QString peer = QRegularExpression::escape(client.peer());
    const QRegularExpression in(
        ts + QStringLiteral(" in ") + peer +
        QStringLiteral(R"( \{ "data" : "log check",\\n\\t"cmd":"test"\}$)"));
    const QRegularExpression out(ts + QStringLiteral(" out ") + peer +
                                 QStringLiteral(R"( \{"cmd":"test_ack","data":"log check"\}$)"));
    const QRegularExpression anyDatagram(ts + QStringLiteral(" (in|out|ignored|session) "));
    if (quiet) {
        QTest::qWait(200);
        QCOMPARE(sim.matching(anyDatagram).size(), 0);
    } else {
        QVERIFY(sim.waitForLine(out));
        QCOMPARE(sim.matching(in).size(), 1);
        QCOMPARE(sim.matching(out).size(), 1);
    }
    // Start lines are there either way, and every line has the same shape.
    QCOMPARE(sim.matching(QRegularExpression(ts + QStringLiteral(" account demo demo$"))).size(),
             1);
    const QRegularExpression shape(ts + QStringLiteral(" [a-z]+ \\S"));
    for (const QString &line : sim.lines())
        QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
}

void TestSim::startupErrors_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE: the file below; PORT: a port in use
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString script = QStringLiteral("--script");
    const QByteArray good = R"({"delay_ms":1,"msg":{}})";
    QTest::newRow("script: invalid JSON")
        << QStringList{script, QStringLiteral("FILE")}
        << QByteArray("# header\n\n" + good + "\n{oops}\n") << 2 << QStringLiteral("FILE:4:");
    QTest::newRow("script: negative delay")
        << QStringList{script, QStringLiteral("FILE")}
        << QByteArray(good + "\n" + R"({"delay_ms":-1,"msg":{}})") << 2
        << QStringLiteral("FILE:2:");
    QTest::newRow("script: delay as text")
        << QStringList{script, QStringLiteral("FILE")} << QByteArray(R"({"delay_ms":"5","msg":{}})")
        << 2 << QStringLiteral("FILE:1:");
    QTest::newRow("script: fractional delay")
        << QStringList{script, QStringLiteral("FILE")} << QByteArray(R"({"delay_ms":2.5,"msg":{}})")
        << 2 << QStringLiteral("FILE:1:");
    QTest::newRow("script: msg not an object")
        << QStringList{script, QStringLiteral("FILE")} << QByteArray(R"({"delay_ms":0,"msg":[1]})")
        << 2 << QStringLiteral("FILE:1:");
    QTest::newRow("script: misspelt member")
        << QStringList{script, QStringLiteral("FILE")} << QByteArray(R"({"delay":100,"msg":{}})")
        << 2 << QStringLiteral("FILE:1:");
    QTest::newRow("script: entry not an object")
        << QStringList{script, QStringLiteral("FILE")} << QByteArray("\n\n[1,2]") << 2
        << QStringLiteral("FILE:3:");
    QTest::newRow("script: missing file") << QStringList{script, QStringLiteral("FILE.missing")}
                                          << QByteArray() << 2 << QStringLiteral("FILE.missing");
    QTest::newRow("users: one field")
        << QStringList{QStringLiteral("--users"), QStringLiteral("FILE")}
        << QByteArray("#\nalice\n") << 2 << QStringLiteral("FILE:2:");
    QTest::newRow("users: short digest")
        << QStringList{QStringLiteral("--users"), QStringLiteral("FILE")}
        << QByteArray("alice 0123456789abcdef") << 2 << QStringLiteral("FILE:1:");
    QTest::newRow("users: listed twice")
        << QStringList{QStringLiteral("--users"), QStringLiteral("FILE")}
        << QByteArray("a " + md5Hex(QStringLiteral("x")).toLatin1() + "\na " +
                      md5Hex(QStringLiteral("y")).toLatin1())
        << 2 << QStringLiteral("FILE:2:");
    QTest::newRow("users: no accounts")
        << QStringList{QStringLiteral("--users"), QStringLiteral("FILE")} << QByteArray("# none\n")
        << 2 << QStringLiteral("FILE");
    QTest::newRow("media links: not pairs")
        << QStringList{QStringLiteral("--media-links"), QStringLiteral("FILE")}
        << QByteArray(R"([["a","A"],["b"]])") << 2 << QStringLiteral("entry 2");
    QTest::newRow("media links: invalid JSON")
        << QStringList{QStringLiteral("--media-links"), QStringLiteral("FILE")} << QByteArray("[[")
        << 2 << QStringLiteral("FILE");
    for (const char *listen : {"127.0.0.1", "127.0.0.1:70000", "localhost:49999", "::1:49999"}) {
        QTest::addRow("listen: %s", listen)
            << QStringList{QStringLiteral("--listen"), QString::fromLatin1(listen)} << QByteArray()
            << 2 << QStringLiteral("--listen");
    }
    QTest::newRow("interval: zero")
        << QStringList{QStringLiteral("--stat-interval"), QStringLiteral("0")} << QByteArray() << 2
        << QStringLiteral("--stat-interval");
    QTest::newRow("interval: negative")
        << QStringList{QStringLiteral("--call-interval"), QStringLiteral("-5")} << QByteArray() << 2
        << QStringLiteral("--call-interval");
    QTest::newRow("max sessions: zero")
        << QStringList{QStringLiteral("--max-sessions"), QStringLiteral("0")} << QByteArray() << 2
        << QStringLiteral("--max-sessions");
    QTest::newRow("max sessions: not a number")
        << QStringList{QStringLiteral("--max-sessions"), QStringLiteral("many")} << QByteArray()
        << 2 << QStringLiteral("--max-sessions");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << QByteArray()
                                    << 2 << QStringLiteral("frobnicate");
    QTest::newRow("port in use") << QStringList{QStringLiteral("--listen"),
                                                QStringLiteral("127.0.0.1:PORT")}
                                 << QByteArray() << 1
                                 << QStringLiteral("cannot listen on 127.0.0.1:PORT");
}

void TestSim::startupErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    const QString path = writeFile(QStringLiteral("startup.txt"), file);
    const QString port = QString::number(m_shared.port());
    for (QString &argument : arguments)
        argument.replace(QLatin1String("FILE"), path).replace(QLatin1String("PORT"), port);
    message.replace(QLatin1String("FILE"), path).replace(QLatin1String("PORT"), port);

    QProcess sim;
    ChildProcess::dieWithParent(sim);
    sim.start(QStringLiteral(BRELLOW_SIM_PATH), arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    const QString error = QString::fromUtf8(sim.readAllStandardError());
    QCOMPARE(sim.exitCode(), exitCode);
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!sim.readAllStandardOutput().contains(" listening "));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
