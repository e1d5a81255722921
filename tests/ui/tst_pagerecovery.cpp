#include <tests/support/windowtestcase.h>

#include <ui/brellowpage.h>
#include <ui/mainwindow.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QRegularExpression>
#include <QSignalSpy>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using namespace Brellow;

// The window's page when its render process dies: the page is loaded again and
// shows what it showed before, a few times per run and then no more.
class TestPageRecovery : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:
    void pageComesBackWithTheSameFace();

private:
    void bringToAFace();
    // Everything the agent sees of the page, one line per element.
    QStringList face();
    // Ends the page's render process as the system would, and waits until the
    // page has noticed.
    void killRenderProcess();
};

void TestPageRecovery::bringToAFace()
{
    server->send(QByteArray(
        R"({"cmd":"login_ack","session_id":"s-1","media_links":[["b","Billing"],["s","Sales"]]})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":3,)"
                            R"("average_score":0.5,"team_position":"7","team_surveys":40}})"));
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_question":3,)"
                            R"("call_answers":[1,2,3],"call_completed":true,)"
                            R"("call_score":"2/3","call_started":true,"call_cli":"0123"}})"));
    QTRY_COMPARE(UiTest::text(*window, "#call_score"), QStringLiteral("2/3"));
    QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QStringLiteral("40"));
    server->drain(100);
}

QStringList TestPageRecovery::face()
{
    return UiTest::domState(window->webView()->page());
}

void TestPageRecovery::killRenderProcess()
{
    QWebEnginePage *page = window->webView()->page();
    QSignalSpy ended(page, &QWebEnginePage::renderProcessTerminated);
    const qint64 pid = page->renderProcessPid();
    // The page must live in a process of its own for this test to mean anything.
    QVERIFY(pid > 0);
    QVERIFY(pid != qint64(getpid()));
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QVERIFY(ended.wait(30000));
}

void TestPageRecovery::pageComesBackWithTheSameFace()
{
    auto *page = qobject_cast<BrellowPage *>(window->webView()->page());
    QVERIFY(page);
    PageBridge *bridge = window->bridge();
    bringToAFace();
    const QStringList before = face();
    const QString joined = before.join(QLatin1Char('\n'));
    QVERIFY(joined.contains("2/3"));
    QVERIFY(joined.contains("Billing"));

    QSignalSpy ready(bridge, &PageBridge::ready);
    QSignalSpy restored(bridge, &PageBridge::restored);
    for (int death = 1; death <= BrellowPage::MaxReloads; ++death) {
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(
                              QStringLiteral("^page: render process ended \\(\\w+, code -?\\d+\\); "
                                             "reloading, %1 of 3$")
                                  .arg(death)));
        killRenderProcess();
        QTRY_COMPARE_WITH_TIMEOUT(restored.size(), death, 30000);
        QCOMPARE(page->reloads(), death);
        QCOMPARE(face(), before);
        // The page still takes what comes after.
        server->send(QByteArray(R"({"cmd":"update_stat","data":{"team_surveys":)") +
                     QByteArray::number(40 + death) + "}}");
        QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QString::number(40 + death));
        server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":3,)"
                                R"("average_score":0.5,"team_position":"7","team_surveys":40}})"));
        QTRY_COMPARE(UiTest::text(*window, "#team_surveys"), QStringLiteral("40"));
        QCOMPARE(face(), before);
    }
    // The window's own first-load handling ran once, before any of this.
    QCOMPARE(ready.size(), 0);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                           "^page: render process ended \\(\\w+, code -?\\d+\\); "
                                           "not reloading again$")));
    QSignalSpy loadStarted(page, &QWebEnginePage::loadStarted);
    killRenderProcess();
    // No load follows: the interval waited is the behaviour under test.
    QVERIFY(!loadStarted.wait(2000));
    QCOMPARE(page->reloads(), BrellowPage::MaxReloads);
    QCOMPARE(restored.size(), BrellowPage::MaxReloads);
}

BRELLOW_WINDOW_TEST_MAIN(TestPageRecovery)

#include "tst_pagerecovery.moc"
