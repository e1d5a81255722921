// brellow-loginflood against the real brellow-sim, both as processes on 127.0.0.1: a floor
// of clients logs in, the server goes away and comes back on the same port, and the
// server's --login-rate lines show how the clients return.

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int Clients = 200;

// A program whose stdout is read line by line; killed at the end if it still runs.
class LineProcess
{
public:
    ~LineProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool start(const QString &program, const QStringList &arguments)
    {
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(program, arguments);
        return m_process.waitForStarted(5000);
    }

    QProcess &process() { return m_process; }

    QStringList lines()
    {
        m_pending += m_process.readAllStandardOutput();
        qsizetype newline = 0;
        while ((newline = m_pending.indexOf('\n')) >= 0) {
            m_lines.append(QString::fromUtf8(m_pending.left(newline)));
            m_pending.remove(0, newline + 1);
        }
        return m_lines;
    }

    QList<QRegularExpressionMatch> matching(const QRegularExpression &pattern)
    {
        QList<QRegularExpressionMatch> found;
        for (const QString &line : lines()) {
            QRegularExpressionMatch match = pattern.match(line);
            if (match.hasMatch())
                found.append(match);
        }
        return found;
    }

    bool waitForLine(const QRegularExpression &pattern, int timeoutMs)
    {
        return QTest::qWaitFor([&] { return !matching(pattern).isEmpty(); }, timeoutMs);
    }

private:
    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
};

const QRegularExpression listening(QStringLiteral(R"( listening 127\.0\.0\.1:(\d+)$)"));
const QRegularExpression loginRate(QStringLiteral(R"( logins (\d+)/s$)"));
const QRegularExpression loginIn(QStringLiteral(R"( in 127\.0\.0\.1:\d+ \{.*"cmd":"login")"));
const QRegularExpression opened(QStringLiteral(R"( session (127\.0\.0\.1:\d+) [0-9a-f]+ opened )"));

} // namespace

class TestLoginFlood : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resumeAfterRestart_data();
    void resumeAfterRestart();

private:
    bool startSim(LineProcess *sim, quint16 port);

    QTemporaryDir m_dir;
};

void TestLoginFlood::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // An empty script: sessions get no pushes, the log holds the logins and pings.
    QFile script(m_dir.filePath(QStringLiteral("quiet.script")));
    QVERIFY(script.open(QIODevice::WriteOnly));
}

bool TestLoginFlood::startSim(LineProcess *sim, quint16 port)
{
    if (!sim->start(QStringLiteral(BRELLOW_SIM_PATH),
                    {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port),
                     QStringLiteral("--login-rate"), QStringLiteral("--max-sessions"),
                     QStringLiteral("1000"), QStringLiteral("--script"),
                     m_dir.filePath(QStringLiteral("quiet.script"))}))
        return false;
    return sim->waitForLine(listening, 5000);
}

void TestLoginFlood::resumeAfterRestart_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("loginSpreadMs");
    QTest::addColumn<int>("downMs");
    QTest::addColumn<bool>("spread"); // the logins reach the new server spread out

    // Stopped in order, the server tells every client at once; the back-off and its
    // jitter spread them out by the time it is back.
    QTest::newRow("stopped, back after 3 s") << int(SIGTERM) << 1000 << 3000 << true;
    QTest::newRow("stopped, back after 10 s") << int(SIGTERM) << 1000 << 10000 << true;
    // Killed, it tells no one: the clients learn of the restart from the answers to their
    // next pings, spread over their ping phases, and come back as spread.
    QTest::newRow("killed, back after 3 s") << int(SIGKILL) << 5000 << 3000 << true;
}

void TestLoginFlood::resumeAfterRestart()
{
    QFETCH(int, signalNumber);
    QFETCH(int, loginSpreadMs);
    QFETCH(int, downMs);
    QFETCH(bool, spread);

    LineProcess first;
    QVERIFY(startSim(&first, 0));
    const quint16 port = first.matching(listening).constFirst().captured(1).toUShort();
    QVERIFY(port != 0);

    LineProcess flood;
    QVERIFY(flood.start(
        QStringLiteral(BRELLOW_LOGINFLOOD_PATH),
        {QStringLiteral("--server"), QStringLiteral("127.0.0.1:%1").arg(port),
         QStringLiteral("--clients"), QString::number(Clients), QStringLiteral("--ping-interval"),
         QStringLiteral("5000"), QStringLiteral("--login-spread"), QString::number(loginSpreadMs),
         QStringLiteral("--seed"), QStringLiteral("1"), QStringLiteral("--exit-when-resumed")}));
    QVERIFY(flood.waitForLine(QRegularExpression(QStringLiteral("^logged in %1/%1 ").arg(Clients)),
                              30000));
    QCOMPARE(first.matching(opened).size(), Clients);

    QCOMPARE(::kill(pid_t(first.process().processId()), signalNumber), 0);
    QVERIFY(first.process().waitForFinished(5000));
    // The server is away for this long: part of what is tried.
    QTest::qWait(downMs);
    LineProcess second;
    QVERIFY(startSim(&second, port));

    const QRegularExpression summary(
        QStringLiteral(R"(^summary resumed (\d+)/%1 .* peak (\d+) logins/s)").arg(Clients));
    QVERIFY2(flood.waitForLine(summary, 40000), qPrintable(flood.lines().join(QLatin1Char('\n'))));
    // It may have gone already: waitForFinished() would call that a failure.
    QVERIFY(QTest::qWaitFor([&] { return flood.process().state() == QProcess::NotRunning; }, 5000));
    QCOMPARE(flood.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(flood.process().exitCode(), 0);
    QCOMPARE(flood.matching(summary).constFirst().captured(1).toInt(), Clients);

    // Every client has a session again, each from its own port.
    QSet<QString> peers;
    for (const QRegularExpressionMatch &match : second.matching(opened))
        peers.insert(match.captured(1));
    QCOMPARE(peers.size(), Clients);

    // The rate lines account for every login the server got, once the last second is over.
    const auto logged = [&] {
        int sum = 0;
        for (const QRegularExpressionMatch &match : second.matching(loginRate))
            sum += match.captured(1).toInt();
        return sum;
    };
    QVERIFY(QTest::qWaitFor([&] { return logged() == second.matching(loginIn).size(); }, 5000));
    QVERIFY(logged() >= Clients);

    QList<int> perSecond;
    for (const QRegularExpressionMatch &match : second.matching(loginRate))
        perSecond.append(match.captured(1).toInt());
    const int peak = *std::max_element(perSecond.cbegin(), perSecond.cend());
    qInfo("logins per second at the restarted server: %s", qPrintable([&] {
              QStringList texts;
              for (const int count : perSecond)
                  texts.append(QString::number(count));
              return texts.join(QLatin1Char(' '));
          }()));
    // The floor comes back spread out, not all in one second.
    if (spread)
        QVERIFY2(peak * 10 < Clients * 4, qPrintable(QStringLiteral("peak %1 logins/s").arg(peak)));
}

QTEST_GUILESS_MAIN(TestLoginFlood)
#include "tst_loginflood.moc"
