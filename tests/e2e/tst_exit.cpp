#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <memory>

using namespace Brellow;
using namespace DesktopDriver;

// Ending Brellow is never refused: the real brellow on a desktop with a window
// manager and a system tray, logged in to the real practice server while a call
// plays, ended by a signal or the tray's "Exit" at many moments, each time a
// fresh process. Every time it leaves with exit code 0, logs out exactly once
// when it holds a session, keeps its place and logs "terminated" last.
class TestExit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void endsAtEveryMoment_data();
    void endsAtEveryMoment();

private:
    QProcess *startHelper(const QString &program, const QStringList &args);
    QString trayIconWindow(int timeoutMs = 10000) const;
    void exitFromTray();
    int logoutsOf(const QString &sessionId, int fromLine);

    QTemporaryDir m_dir;
    std::vector<QProcess *> m_helpers;
    LoggedProcess *m_sim = nullptr;
    quint16 m_port = 0;
    QRect m_login;
    QList<qint64> m_exitTimes;
};

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

QProcess *TestExit::startHelper(const QString &program, const QStringList &args)
{
    auto *helper = new QProcess(this);
    ChildProcess::dieWithParent(*helper);
    m_helpers.push_back(helper);
    helper->setStandardOutputFile(QProcess::nullDevice());
    helper->setStandardErrorFile(QProcess::nullDevice());
    helper->start(program, args);
    return helper;
}

// The tray icon: Brellow's small window that the panel's tray holds.
QString TestExit::trayIconWindow(int timeoutMs) const
{
    QString found;
    [[maybe_unused]] const bool ok = QTest::qWaitFor(
        [&] {
            for (const QString &id : brellowWindows()) {
                const QRect r = windowGeometry(id);
                if (!r.isEmpty() && r.width() <= 64 && r.height() <= 64) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void TestExit::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under an X server");
    // Where the page's Login link lies in the window, measured once.
    m_login = elementRect("#login_button", Face::LoggedOutCompact);
    QVERIFY(!m_login.isEmpty());

    // An agent's desktop: a window manager and a panel with a system tray.
    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY(startHelper("tint2", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("_NET_SYSTEM_TRAY_S0"), 10000);

    // A call shortly after each login: figures, the call, its answers, its outcome;
    // the window collapses ten seconds after the outcome.
    QVERIFY(m_dir.isValid());
    QFile script(m_dir.filePath("call.jsonl"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        R"({"delay_ms": 100, "msg": {"cmd":"update_stat","data":{"user_surveys":12,"average_score":0.755,"team_position":3,"team_surveys":140}}})"
        "\n"
        R"({"delay_ms": 700, "msg": {"cmd":"update_live","data":{"call_started":true,"call_cli":"07700 900123","call_question":1,"call_answers":[5]}}})"
        "\n"
        R"({"delay_ms": 300, "msg": {"cmd":"update_live","data":{"call_question":2,"call_answers":[5,4]}}})"
        "\n"
        R"({"delay_ms": 300, "msg": {"cmd":"update_live","data":{"call_question":3,"call_answers":[5,4,2],"call_completed":true,"call_score":"4.5"}}})"
        "\n");
    script.close();

    m_sim = new LoggedProcess(this);
    m_port = startPracticeServer(*m_sim, BRELLOW_SIM_PATH, 0,
                                 {"--script", script.fileName(), "--idle-timeout", "0"});
    QVERIFY(m_port != 0);
}

void TestExit::cleanupTestCase()
{
    if (m_sim)
        m_sim->terminate();
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000))
            (*it)->kill();
        (*it)->waitForFinished(5000);
    }
    std::sort(m_exitTimes.begin(), m_exitTimes.end());
    if (!m_exitTimes.isEmpty())
        qInfo("exits: %lld, median %lld ms, worst %lld ms", qint64(m_exitTimes.size()),
              m_exitTimes.at(m_exitTimes.size() / 2), m_exitTimes.last());
}

void TestExit::exitFromTray()
{
    const QString icon = trayIconWindow();
    QVERIFY2(!icon.isEmpty(), "no tray icon");
    const QStringList before = brellowWindows();
    run("xdotool", {"mousemove", "--window", icon, "4", "4", "click", "3"});
    // The menu: a new window of Brellow's with its one entry, "Exit".
    QString menu;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     for (const QString &id : brellowWindows()) {
                         if (!before.contains(id))
                             menu = id;
                     }
                     return !menu.isEmpty();
                 },
                 10000),
             "no tray menu");
    // The open menu holds the keyboard: the first entry, then Return. A menu that
    // is mapped but not yet taking keys gets them again.
    for (int tries = 0; tries < 5; ++tries) {
        run("xdotool", {"key", "Down", "Return"});
        if (QTest::qWaitFor([&] { return !brellowWindows().contains(menu); }, 2000))
            return;
    }
    QFAIL("the tray menu did not take the keys");
}

// The "logout" datagrams that reached the server for this session, after the
// server has read everything sent before a marker of ours.
int TestExit::logoutsOf(const QString &sessionId, int fromLine)
{
    static int markers = 0;
    const QByteArray marker = "exit-marker-" + QByteArray::number(++markers);
    QUdpSocket probe;
    probe.writeDatagram(R"({"cmd":"test","data":")" + marker + R"("})", QHostAddress::LocalHost,
                        m_port);
    if (m_sim->waitForLine(QRegularExpression(QString::fromLatin1(marker)), fromLine) < 0)
        return -1;
    return m_sim
        ->linesMatching(QRegularExpression(R"( in .*"cmd":"logout".*")" + sessionId + '"'),
                        fromLine)
        .size();
}

void TestExit::endsAtEveryMoment_data()
{
    QTest::addColumn<QString>("how");      // SIGTERM, SIGINT, SIGHUP or tray
    QTest::addColumn<QString>("state");    // what the window does before it
    QTest::addColumn<int>("afterLoginMs"); // since the server confirmed the login

    QTest::newRow("logged out") << "SIGTERM"
                                << "logged out" << -1;
    QTest::newRow("message box open") << "SIGTERM"
                                      << "box" << -1;
    QTest::newRow("logging in") << "SIGTERM"
                                << "logging in" << -1;
    // Over the call: compact, growing, answers coming in, the outcome, the wait
    // before collapsing, collapsing.
    for (int ms : {0, 300, 700, 900, 1100, 1300, 1500, 1700, 2000, 2500, 3500, 5000, 7500, 10500,
                   11300, 11500, 11700, 12000, 13000})
        QTest::newRow(qPrintable(QStringLiteral("SIGTERM %1 ms into the session").arg(ms)))
            << "SIGTERM"
            << "call" << ms;
    QTest::newRow("hidden in the tray") << "SIGTERM"
                                        << "hidden" << 1500;
    QTest::newRow("SIGINT during the call") << "SIGINT"
                                            << "call" << 1500;
    QTest::newRow("SIGHUP during the call") << "SIGHUP"
                                            << "call" << 1500;
    QTest::newRow("tray Exit, logged out") << "tray"
                                           << "logged out" << -1;
    QTest::newRow("tray Exit during the call") << "tray"
                                               << "call" << 1300;
    QTest::newRow("tray Exit after the call") << "tray"
                                              << "call" << 3000;
    QTest::newRow("tray Exit, hidden") << "tray"
                                       << "hidden" << 1500;
}

void TestExit::endsAtEveryMoment()
{
    QFETCH(QString, how);
    QFETCH(QString, state);
    QFETCH(int, afterLoginMs);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QDir(home.path()).mkpath("run"));
    QFile::setPermissions(home.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QProcessEnvironment env = brellowEnvironment(home.path());

    const int simFrom = m_sim->lines().size();
    LoggedProcess brellow;
    brellow.process().setProcessEnvironment(env);
    brellow.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.process().start(BRELLOW_PATH, {"--server", QStringLiteral("127.0.0.1:%1").arg(m_port)});
    QVERIFY(brellow.process().waitForStarted());
    const QString window = findMainWindow();
    QVERIFY2(!window.isEmpty(), "no window");
    const QRect geometry =
        waitForWindowSize(window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 15000);
    QVERIFY(!geometry.isNull());
    const QString logPath = home.filePath("config/Brellow/brellow.log");
    const auto logText = [&logPath] {
        QFile log(logPath);
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    };

    QString sessionId;
    QVERIFY2(waitForFace(geometry), "the page never showed");
    if (state == QLatin1String("box")) {
        click(geometry.topLeft() + m_login.center()); // empty fields: a box
        QVERIFY(QTest::qWaitFor([] { return brellowWindows().size() >= 3; }, 15000));
    } else if (state != QLatin1String("logged out")) {
        const QRegularExpression loginIn(R"( in 127\.0\.0\.1:\d+ .*"cmd":"login")");
        QVERIFY2(waitForFace(geometry), "the page never showed");
        typeLogin(geometry, "demo", "demo");
        QVERIFY(m_sim->waitForLine(loginIn, simFrom) >= 0);
        if (state != QLatin1String("logging in")) {
            const int ack = m_sim->waitForLine(
                QRegularExpression(R"( out .*"cmd":"login_ack".*"session_id")"), simFrom);
            QVERIFY(ack >= 0);
            const QString json = m_sim->lines().at(ack).section(' ', 3);
            sessionId =
                QJsonDocument::fromJson(json.toUtf8()).object().value("session_id").toString();
            QVERIFY(!sessionId.isEmpty());
            QElapsedTimer since;
            since.start();
            if (state == QLatin1String("hidden")) {
                run("wmctrl", {"-i", "-c", window});
                QVERIFY(QTest::qWaitFor([&] { return findMainWindow(0).isEmpty(); }, 10000));
            }
            // The moment itself is what this row is about.
            QTest::qWait(int(qMax<qint64>(0, afterLoginMs - since.elapsed())));
        }
    }

    QElapsedTimer ending;
    ending.start();
    if (how == QLatin1String("tray"))
        exitFromTray();
    else
        ::kill(pid_t(brellow.process().processId()), how == QLatin1String("SIGINT")   ? SIGINT
                                                     : how == QLatin1String("SIGHUP") ? SIGHUP
                                                                                      : SIGTERM);
    // A Brellow that refuses to end would keep pinging for ever; ten seconds tell
    // it apart from a slow exit on a loaded machine.
    const bool ended = brellow.process().waitForFinished(10000);
    const qint64 took = ending.elapsed();
    if (!ended) {
        brellow.process().kill();
        brellow.process().waitForFinished(5000);
    }
    QVERIFY2(
        ended,
        qPrintable(QStringLiteral("still running 10 s after %1; log:\n%2").arg(how, logText())));
    m_exitTimes << took;
    qInfo("ended %lld ms after %s", took, qPrintable(how));
    QCOMPARE(brellow.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.process().exitCode(), 0);

    const QStringList lines = logText().split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.last().endsWith("\tterminated"), qPrintable(lines.join('\n')));
    QFile settings(home.filePath("config/Brellow/brellow.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("mainWindowGeometry="));

    // Exactly one "logout" for a session held at the end, none without one.
    const bool held = lines.filter("\tlogin accepted").size() > 0;
    QCOMPARE(lines.filter("\tlogout at exit").size(), held ? 1 : 0);
    if (!sessionId.isEmpty() || held) {
        if (sessionId.isEmpty()) {
            const int ack =
                m_sim->waitForLine(QRegularExpression(R"( out .*"session_id")"), simFrom, 5000);
            QVERIFY(ack >= 0);
            sessionId = QJsonDocument::fromJson(m_sim->lines().at(ack).section(' ', 3).toUtf8())
                            .object()
                            .value("session_id")
                            .toString();
        }
        QCOMPARE(logoutsOf(sessionId, simFrom), held ? 1 : 0);
    }
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestExit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exit.moc"
