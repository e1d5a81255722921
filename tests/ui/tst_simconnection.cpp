// The window against the practice server as a process: logged in through the
// page, then the server goes away and comes back on the same port, and the
// window takes the agent's session back by itself.

#include <tests/support/simprocess.h>
#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <net/sessionkeeper.h>
#include <tests/support/messageboxes.h>
#include <ui/mainwindow.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

using namespace Brellow;

class TestSimConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void serverGoneAndBack();
    void orderlyStopResumes();
    void resumeOffShowsLoginForm();
    void refusedResumeShowsLoginForm();

private:
    static constexpr int PingMs = 300;

    void logInThroughPage();
    void stopSim();
    void checkReconnectingFace();

    QTemporaryDir m_dir;
    QString m_script;
    std::unique_ptr<UiTest::SimProcess> m_sim;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

const QRegularExpression ShutdownAckSent(QStringLiteral(R"( out 127\.0\.0\.1:\d+ )"
                                                        R"(\{"cmd":"shutdown_ack"\}$)"));

} // namespace

void TestSimConnection::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // No calls: the server only answers, and sends the figures once at login.
    m_script = m_dir.filePath(QStringLiteral("figures.jsonl"));
    QFile script(m_script);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(R"({"delay_ms":0,"msg":{"cmd":"update_stat","data":)"
                 R"({"user_surveys":12,"average_score":0.5,"team_position":3,"team_surveys":140}}})"
                 "\n");
}

void TestSimConnection::init()
{
    m_sim = std::make_unique<UiTest::SimProcess>(QStringLiteral(BRELLOW_SIM_PATH));
    QVERIFY(m_sim->start(UiTest::testServerPort(), {QStringLiteral("--script"), m_script}));
    WindowTimings timings;
    timings.pingIntervalMs = PingMs;
    m_window = UiTest::openWindow(timings);
    QVERIFY(UiTest::waitForPage(*m_window));
}

void TestSimConnection::cleanup()
{
    // The window logs out as it goes; a running server confirms, so the next test
    // starts without a session.
    m_window.reset();
    if (m_sim->process().state() == QProcess::Running)
        QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    m_sim.reset();
}

void TestSimConnection::logInThroughPage()
{
    MainWindow &w = *m_window;
    UiTest::setValue(w, "#username", "demo");
    UiTest::setValue(w, "#password", "demo");
    UiTest::click(w, "login");
    QTRY_COMPARE_WITH_TIMEOUT(w.loginState(), MainWindow::LoginState::LoggedIn, 10000);
    QTRY_COMPARE(UiTest::text(w, "#team_surveys"), QStringLiteral("140"));
}

void TestSimConnection::stopSim()
{
    // A server that stops in order says goodbye to every session.
    QCOMPARE(::kill(static_cast<pid_t>(m_sim->process().processId()), SIGTERM), 0);
    QVERIFY(m_sim->process().waitForFinished(5000));
}

// While the window logs in again: the agent's face, figures greyed, and the
// notice on screen.
void TestSimConnection::checkReconnectingFace()
{
    MainWindow &w = *m_window;
    QCOMPARE(w.loginState(), MainWindow::LoginState::Resuming);
    QCOMPARE(UiTest::text(w, "#error_text"), QStringLiteral("Reconnecting\u2026"));
    QCOMPARE(UiTest::offScreenReason(w, "#error_text"), QString());
    QVERIFY(UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(UiTest::hasClass(w, "#top_panel2", "stale"));
    QCOMPARE(UiTest::text(w, "#team_surveys"), QStringLiteral("140"));
    QVERIFY(!UiTest::isShown(w, "#login_panel"));
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logout"));
}

void TestSimConnection::serverGoneAndBack()
{
    MainWindow &w = *m_window;
    Receiver *receiver = Application::instance()->receiver();
    logInThroughPage();
    if (QTest::currentTestFailed())
        return;

    // While the server answers, pings never add up.
    QSignalSpy answers(receiver, &Receiver::ackPing);
    QTRY_VERIFY_WITH_TIMEOUT(answers.size() >= 2 * MainWindow::LostAfterUnansweredPings, 15000);
    QVERIFY(!w.isConnectionLost());

    // Gone without a word, as a crash or a cut cable leaves it.
    QVERIFY(m_sim->kill());
    QTRY_VERIFY_WITH_TIMEOUT(w.isConnectionLost(), 15000);
    QCOMPARE(UiTest::text(w, "#error_text"), QStringLiteral("Connection to the server lost"));
    QCOMPARE(UiTest::offScreenReason(w, "#error_text"), QString());
    QVERIFY(UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(UiTest::hasClass(w, "#top_panel2", "stale"));
    QCOMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("12"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);

    // Back on the same port, the new server does not know the session: it answers
    // the next ping by ending it, and the window logs in again by itself.
    QVERIFY(m_sim->start(UiTest::testServerPort(), {QStringLiteral("--script"), m_script}));
    QVERIFY(m_sim->waitForLine(ShutdownAckSent, 15000));
    QVERIFY(m_sim->waitForLine(QRegularExpression(QStringLiteral(" opened user demo$")), 15000));
    QTRY_COMPARE_WITH_TIMEOUT(w.loginState(), MainWindow::LoginState::LoggedIn, 10000);
    QTRY_VERIFY(!UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(!w.isConnectionLost());
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QVERIFY(!UiTest::isShown(w, "#login_panel"));
    QVERIFY(w.pingTimer()->isActive());
    QCOMPARE(UiTest::text(w, "#team_surveys"), QStringLiteral("140"));
    QVERIFY(receiver->isLoggedIn());
}

void TestSimConnection::orderlyStopResumes()
{
    MainWindow &w = *m_window;
    logInThroughPage();
    if (QTest::currentTestFailed())
        return;
    stopSim();
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::Resuming);
    checkReconnectingFace();
    // In the expanded view too.
    UiTest::click(w, "expand");
    QCOMPARE(UiTest::offScreenReason(w, "#error_text"), QString());
    UiTest::click(w, "collapse");

    // The attempts meet a closed port until the server is back.
    QSignalSpy attempts(w.sessionKeeper(), &SessionKeeper::resumeAttempt);
    QTRY_VERIFY_WITH_TIMEOUT(attempts.size() >= 1, 15000);
    checkReconnectingFace();
    QVERIFY(m_sim->start(UiTest::testServerPort(), {QStringLiteral("--script"), m_script}));
    QTRY_COMPARE_WITH_TIMEOUT(w.loginState(), MainWindow::LoginState::LoggedIn, 15000);
    QTRY_VERIFY(!UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QCOMPARE(UiTest::text(w, "#team_surveys"), QStringLiteral("140"));
}

void TestSimConnection::resumeOffShowsLoginForm()
{
    MainWindow &w = *m_window;
    w.sessionKeeper()->setResumeLimitMs(0);
    logInThroughPage();
    if (QTest::currentTestFailed())
        return;
    stopSim();
    // A site where the server's goodbye means a forced logout.
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(UiTest::isShown(w, "#login_panel"));
    QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("demo"));
    QVERIFY(!w.isConnectionLost());
    QVERIFY(!UiTest::hasClass(w, "#top_panel1", "stale"));
}

void TestSimConnection::refusedResumeShowsLoginForm()
{
    MainWindow &w = *m_window;
    logInThroughPage();
    if (QTest::currentTestFailed())
        return;
    stopSim();
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::Resuming);

    // The server comes back without the agent's account.
    QFile users(m_dir.filePath(QStringLiteral("users")));
    QVERIFY(users.open(QIODevice::WriteOnly));
    users.write("someone " + Receiver::hashPassword(QStringLiteral("else")).toLatin1() + "\n");
    users.close();
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    QVERIFY(m_sim->start(UiTest::testServerPort(), {QStringLiteral("--script"), m_script,
                                                    QStringLiteral("--users"), users.fileName()}));
    QTRY_COMPARE_WITH_TIMEOUT(w.loginState(), MainWindow::LoginState::LoggedOut, 15000);
    QTRY_VERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("Please check your username and password and try again."));
    QVERIFY(UiTest::isShown(w, "#login_panel"));
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
}

int main(int argc, char **argv)
{
    return UiTest::runWindowTest(argc, argv, [&] {
        TestSimConnection test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_simconnection.moc"
