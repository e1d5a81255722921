#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <net/sessionkeeper.h>
#include <ui/mainwindow.h>

#include <QJsonObject>
#include <QTimer>

using namespace Brellow;

// How the window tells the agent that the server has stopped answering, and how it
// recovers: the real window and page, the real Receiver, a fake server on 127.0.0.1
// that answers or keeps quiet, and a short ping interval.
class TestConnection : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:
    void lostAfterThreeUnansweredPings();
    void anyDatagramClears_data();
    void anyDatagramClears();
    void datagramStartsCountAgain();
    void answeredPingsNeverLose_data();
    void answeredPingsNeverLose();
    void endOfSessionClears_data();
    void endOfSessionClears();
    void feedbackGivesPanelBack_data();
    void feedbackGivesPanelBack();

protected:
    WindowTimings windowTimings() const override
    {
        WindowTimings timings;
        timings.pingIntervalMs = PingMs;
        timings.feedbackMs = FeedbackMs;
        return timings;
    }

private:
    static constexpr int PingMs = 300;
    static constexpr int FeedbackMs = 600;

    void logIn();
    // Reads the next datagram, which must be a ping.
    bool nextIsPing();
    void loseConnection();
    void checkLostFace(bool lost);
};

namespace {

const char *const LostText = "Connection to the server lost";
const char *const FigurePanels[] = {"#top_panel1", "#top_panel2"};

QString opacity(MainWindow &w, const char *selector)
{
    return UiTest::evaluate(w, QStringLiteral("getComputedStyle(document.querySelector('%1'))"
                                              ".opacity")
                                   .arg(QLatin1String(selector)))
        .toString();
}

} // namespace

void TestConnection::logIn()
{
    UiTest::setValue(*window, "#username", "anna");
    UiTest::setValue(*window, "#password", "secret");
    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->send(QByteArray(
        R"({"cmd":"update_stat","data":{"user_surveys":12,"average_score":0.5,"team_position":3,"team_surveys":140}})"));
    QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QStringLiteral("140"));
    // The login and its question to the server, not the pings that follow.
    server->drain(100);
}

bool TestConnection::nextIsPing()
{
    QJsonObject message = server->next(5000);
    // Once the connection counts as lost, each ping comes with a "test": is the
    // server gone, or only our session?
    while (message.value("cmd").toString() == QLatin1String("test"))
        message = server->next(5000);
    return message.value("cmd").toString() == QLatin1String("ping") &&
           message.value("session_id").toString() == QLatin1String("s-1");
}

void TestConnection::loseConnection()
{
    QTRY_VERIFY_WITH_TIMEOUT(window->isConnectionLost(), 10000);
    checkLostFace(true);
}

// What the page shows: the panel's text and the greyed figures, or neither.
void TestConnection::checkLostFace(bool lost)
{
    MainWindow &w = *window;
    QCOMPARE(w.isConnectionLost(), lost);
    if (lost) {
        QCOMPARE(UiTest::text(w, "#error_text"), QString::fromLatin1(LostText));
        // Seen by the agent in the view the window is in, not only shown by its style.
        QCOMPARE(UiTest::offScreenReason(w, "#error_text"), QString());
    } else {
        QVERIFY(!UiTest::isShown(w, "#error_panel"));
    }
    for (const char *panel : FigurePanels) {
        QCOMPARE(UiTest::hasClass(w, panel, "stale"), lost);
        QCOMPARE(opacity(w, panel), lost ? QStringLiteral("0.45") : QStringLiteral("1"));
    }
}

void TestConnection::lostAfterThreeUnansweredPings()
{
    MainWindow &w = *window;
    logIn();
    checkLostFace(false);

    // Three pings go out unanswered. The window gives the third its interval too:
    // it speaks up only as it sends the fourth, so by then that one is on its way.
    for (int i = 1; i <= MainWindow::LostAfterUnansweredPings; ++i) {
        QVERIFY(nextIsPing());
        QVERIFY(!w.isConnectionLost() || server->socket.hasPendingDatagrams());
    }
    loseConnection();
    // The figures stay, greyed; the session is still the window's.
    QCOMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("12"));
    QCOMPARE(UiTest::text(w, "#team_surveys"), QStringLiteral("140"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);

    // It keeps pinging, and the panel stays longer than any transient message.
    server->drain(0);
    QElapsedTimer sinceLost;
    sinceLost.start();
    while (sinceLost.elapsed() < 2 * FeedbackMs)
        QVERIFY(nextIsPing());
    checkLostFace(true);

    // In every view the agent uses.
    for (const char *view : {"expand", "media", "media"}) {
        UiTest::click(w, view);
        checkLostFace(true);
    }
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);

    // The first answer clears it.
    server->send(QByteArray(R"({"cmd":"ping_ack"})"));
    QTRY_VERIFY(!w.isConnectionLost());
    checkLostFace(false);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QVERIFY(w.pingTimer()->isActive());
}

void TestConnection::anyDatagramClears_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("userSurveys"); // shown afterwards

    QTest::newRow("ping_ack") << QByteArray(R"({"cmd":"ping_ack"})") << "12";
    QTest::newRow("update_stat") << QByteArray(
                                        R"({"cmd":"update_stat","data":{"user_surveys":13}})")
                                 << "13";
    QTest::newRow("notransfer_ack") << QByteArray(R"({"cmd":"notransfer_ack"})") << "12";
    QTest::newRow("unknown cmd") << QByteArray(R"({"cmd":"hello"})") << "12";
    QTest::newRow("not JSON") << QByteArray("\x01garbage") << "12";
}

void TestConnection::anyDatagramClears()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QString, userSurveys);

    logIn();
    loseConnection();
    server->send(datagram);
    QTRY_VERIFY(!window->isConnectionLost());
    checkLostFace(false);
    QCOMPARE(UiTest::text(*window, "#user_surveys"), userSurveys);
}

void TestConnection::datagramStartsCountAgain()
{
    MainWindow &w = *window;
    logIn();
    QVERIFY(nextIsPing());
    QVERIFY(nextIsPing());
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":20}})"));
    QTRY_COMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("20"));
    server->drain(0);

    // Four pings since login, but only three at most since the server last spoke.
    QVERIFY(nextIsPing());
    QVERIFY(nextIsPing());
    QVERIFY(!w.isConnectionLost());
    loseConnection();
}

void TestConnection::answeredPingsNeverLose_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("ping_ack") << QByteArray(R"({"cmd":"ping_ack"})");
    // Some other datagram in between counts as much as an answer.
    QTest::newRow("update_stat") << QByteArray(
        R"({"cmd":"update_stat","data":{"user_surveys":7}})");
}

void TestConnection::answeredPingsNeverLose()
{
    QFETCH(QByteArray, answer);

    logIn();
    for (int i = 0; i < 3 * MainWindow::LostAfterUnansweredPings; ++i) {
        QVERIFY(nextIsPing());
        server->send(answer);
    }
    QVERIFY(!window->isConnectionLost());
    checkLostFace(false);
}

void TestConnection::endOfSessionClears_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("logout click") << "click";
    QTest::newRow("logout_ack") << R"({"cmd":"logout_ack"})";
    QTest::newRow("shutdown_ack") << R"({"cmd":"shutdown_ack"})";
}

void TestConnection::endOfSessionClears()
{
    QFETCH(QString, end);
    MainWindow &w = *window;
    // A site without resuming: the server's end is the end.
    w.sessionKeeper()->setResumeLimitMs(0);

    logIn();
    loseConnection();
    if (end == QLatin1String("click"))
        UiTest::click(w, "login");
    else
        server->send(end.toUtf8());
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(!w.pingTimer()->isActive());
    checkLostFace(false);

    // A new session starts with a clean slate, and a count of its own.
    if (Application::instance()->receiver()->isLoggedIn()) {
        server->send(QByteArray(R"({"cmd":"logout_ack"})"));
        QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    }
    server->drain(100);
    logIn();
    checkLostFace(false);
    QVERIFY(nextIsPing());
    QVERIFY(!w.isConnectionLost());
    loseConnection();
}

void TestConnection::feedbackGivesPanelBack_data()
{
    QTest::addColumn<bool>("survey"); // else a media error
    QTest::newRow("survey") << true;
    QTest::newRow("media error") << false;
}

void TestConnection::feedbackGivesPanelBack()
{
    QFETCH(bool, survey);
    MainWindow &w = *window;

    logIn();
    UiTest::click(w, "media");
    loseConnection();
    const QString message =
        survey ? QStringLiteral("Survey has been sent") : QStringLiteral("Lookup failed");
    if (survey)
        UiTest::click(w, "survey");
    else
        w.showMediaError(message);
    QElapsedTimer sinceShown;
    sinceShown.start();
    const QString shownText = UiTest::text(w, "#error_text");
    const QString offScreen = UiTest::offScreenReason(w, "#error_text");
    // Only a slow machine can have let the message expire by now.
    if (sinceShown.elapsed() < FeedbackMs / 2) {
        QCOMPARE(shownText, message);
        QCOMPARE(offScreen, QString());
    }

    // The message has its moment, then the panel says the connection is lost again.
    QTRY_COMPARE(UiTest::text(w, "#error_text"), QString::fromLatin1(LostText));
    QVERIFY(sinceShown.elapsed() >= FeedbackMs - 100);
    checkLostFace(true);
}

BRELLOW_WINDOW_TEST_MAIN(TestConnection)
#include "tst_connection.moc"
