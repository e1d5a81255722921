// The window against the practice server as a process: logged in through the
// page, then the server goes away and comes back on the same port.

#include <tests/support/simprocess.h>
#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
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
    void orderlyStopLogsOut();

private:
    static constexpr int PingMs = 300;

    void logInThroughPage();

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
    QVERIFY(UiTest::isShown(w, "#error_panel"));
    QVERIFY(UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(UiTest::hasClass(w, "#top_panel2", "stale"));
    QCOMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("12"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);

    // Back on the same port, the new server does not know the session: it answers
    // the next ping by ending it, and that answer is the server heard again.
    QVERIFY(m_sim->start(UiTest::testServerPort(), {QStringLiteral("--script"), m_script}));
    QVERIFY(m_sim->waitForLine(ShutdownAckSent, 15000));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(!w.isConnectionLost());
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QVERIFY(!UiTest::hasClass(w, "#top_panel1", "stale"));
    QVERIFY(!UiTest::hasClass(w, "#top_panel2", "stale"));
    QVERIFY(UiTest::isShown(w, "#login_panel"));
    QVERIFY(!w.pingTimer()->isActive());

    // And the agent can log in again at once.
    logInThroughPage();
    QVERIFY(!w.isConnectionLost());
}

void TestSimConnection::orderlyStopLogsOut()
{
    MainWindow &w = *m_window;
    logInThroughPage();
    if (QTest::currentTestFailed())
        return;
    // A server that stops in order says goodbye: the window logs out, nothing is lost.
    QCOMPARE(::kill(static_cast<pid_t>(m_sim->process().processId()), SIGTERM), 0);
    QVERIFY(m_sim->process().waitForFinished(5000));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(!w.isConnectionLost());
    QVERIFY(!UiTest::hasClass(w, "#top_panel1", "stale"));
}

int main(int argc, char **argv)
{
    return UiTest::runWindowTest(argc, argv, [&] {
        TestSimConnection test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_simconnection.moc"
