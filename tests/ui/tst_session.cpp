#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <net/sessionkeeper.h>
#include <tests/support/messageboxes.h>
#include <ui/brellowpage.h>
#include <ui/mainwindow.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QApplication>
#include <QJsonDocument>
#include <QSettings>
#include <QWebEnginePage>

#include <QJsonArray>

using namespace Brellow;

// The agent's login session and the page commands: the real window and page, the
// real Receiver, and a fake server on 127.0.0.1.
class TestSession : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:

    void loginClickSendsRequest_data();
    void loginClickSendsRequest();
    void loginWithEmptyFieldIsRefused_data();
    void loginWithEmptyFieldIsRefused();
    void quickClicksSendOneLogin();
    void loginAckShowsLoggedInFace_data();
    void loginAckShowsLoggedInFace();
    void secondLoggedInChangesNothing();
    void pingEveryTenSecondsWithSession();
    void loginTimeoutResetsAndWarns();
    void confirmationWhileTimeoutBoxIsOpen();
    void silentServerIsNotBlamedOnPassword();
    void refusalShowsAtOnce();
    void pageAnswersWhileBoxIsOpen();
    void timeoutWhileSessionHeldShowsNoBox();
    void loggedOutWhileLoggingIn();
    void logoutClick();
    void loggedOutWhileLoggedOutTouchesNothing();
    void rememberedUserName_data();
    void rememberedUserName();
    void unknownFragmentsDoNothing_data();
    void unknownFragmentsDoNothing();
    void mediaToggles_data();
    void mediaToggles();
    void addSendsReasonAsTyped_data();
    void addSendsReasonAsTyped();

private:
    void typeCredentials(const QString &username, const QString &password);
    void clickLogin();
    void logInByClick(const QByteArray &ack = R"({"cmd":"login_ack","session_id":"s-1"})");
    QStringList sentCommands(int quietMs = 300);
};

namespace {

// The call-reason list as "text|value" entries, in order.
QStringList reasonOptions(MainWindow &w)
{
    return UiTest::evaluate(w, "Array.from(document.querySelector('#reason').options)"
                               ".map(function(o){return o.text+'|'+o.value})")
        .toStringList();
}

// A link click with exactly this fragment, as the web view delivers it.
void clickFragment(MainWindow &w, const QString &fragment)
{
    QUrl url(BrellowPage::homeUrl().toString());
    url.setFragment(fragment);
    emit w.webView()->linkClicked(url);
}

// Waits until the window's pending page reads have answered.
void settle(MainWindow &w)
{
    UiTest::evaluate(w, QStringLiteral("0"));
}

void checkCritical(const UiTest::BoxSeen &seen, const char *text)
{
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 15000);
    QVERIFY(seen.windowModal);
    QCOMPARE(seen.title, QCoreApplication::applicationName());
    QCOMPARE(seen.text, QString::fromLatin1(text));
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.icon, QMessageBox::Critical);
}

const char *const EnterCredentials = "Please enter your username and password and try again.";
const char *const CheckCredentials = "Please check your username and password and try again.";
const char *const ServerSilent = "The server does not answer. Please try again in a moment.";

} // namespace

void TestSession::typeCredentials(const QString &username, const QString &password)
{
    UiTest::setValue(*window, "#username", username);
    UiTest::setValue(*window, "#password", password);
}

void TestSession::clickLogin()
{
    UiTest::click(*window, "login");
}

void TestSession::logInByClick(const QByteArray &ack)
{
    typeCredentials("anna", "secret");
    clickLogin();
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    server->send(ack);
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    settle(*window);
    server->drain(100);
}

QStringList TestSession::sentCommands(int quietMs)
{
    QStringList commands;
    for (const QJsonObject &message : server->drain(quietMs))
        commands << message.value("cmd").toString();
    return commands;
}

void TestSession::loginClickSendsRequest_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("digest");
    QTest::newRow("plain") << "anna"
                           << "secret"
                           << "5ebe2294ecd0e0f08eab7690d2a6ee69";
    // Blanks are text like any other: neither field is trimmed.
    QTest::newRow("blank name") << "   "
                                << "pw"
                                << "8fe4c11451281c094a6578e6ddbf5eed";
    QTest::newRow("blank password") << "anna"
                                    << "  "
                                    << "23b58def11b45727d3351702515f86af";
    QTest::newRow("inner blanks, apostrophe") << " O'Brien "
                                              << " p a ss "
                                              << "b1954a645814bd571e924afcd1990ab8";
    QTest::newRow("latin-1 password")
        << QString::fromUtf8("K\xc3\xa4the") << QString::fromUtf8("K\xc3\xa4the")
        << "7138ceecf466146ba11352a591ea0533";
}

void TestSession::loginClickSendsRequest()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    QFETCH(QString, digest);
    MainWindow &w = *window;

    typeCredentials(username, password);
    clickLogin();
    const QJsonObject sent = server->next();
    QCOMPARE(sent.value("cmd").toString(), QStringLiteral("login"));
    QCOMPARE(sent.value("username").toString(), username);
    QCOMPARE(sent.value("password").toString(), digest);
    QVERIFY(!sent.contains("session_id"));
    // With it, a question that any server answers: the timeout can then tell a
    // silent server from a refused password.
    const QJsonObject test = server->next();
    QCOMPARE(test.value("cmd").toString(), QStringLiteral("test"));
    QVERIFY(!test.contains("session_id"));
    QVERIFY(server->drain(200).isEmpty());

    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    QVERIFY(w.loginTimer()->isActive());
    QCOMPARE(w.loginTimer()->interval(), 5000);
    QVERIFY(!w.pingTimer()->isActive());
    QCOMPARE(Application::instance()->settings()->value("loginUsername").toString(), username);

    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logging in"));
    // The media box's Survey link shares the id and keeps its text.
    QCOMPARE(
        UiTest::evaluate(w, "document.querySelectorAll('#login_button')[1].textContent").toString(),
        QStringLiteral("Survey"));
    QVERIFY(UiTest::isDisabled(w, "#username"));
    QVERIFY(UiTest::isDisabled(w, "#password"));
    QCOMPARE(UiTest::value(w, "#username"), username);
    QCOMPARE(UiTest::value(w, "#password"), password);
    QVERIFY(UiTest::isShown(w, "#login_panel"));
    QVERIFY(!UiTest::isShown(w, "#top_panel1"));
}

void TestSession::loginWithEmptyFieldIsRefused_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::newRow("both empty") << ""
                                << "";
    QTest::newRow("no name") << ""
                             << "secret";
    QTest::newRow("no password") << "anna"
                                 << "";
    QTest::newRow("blank name, no password") << " "
                                             << "";
}

void TestSession::loginWithEmptyFieldIsRefused()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    MainWindow &w = *window;
    typeCredentials(username, password);

    // Every click gets its own box.
    for (int click = 0; click < 2; ++click) {
        UiTest::BoxSeen seen;
        UiTest::closeNextMessageBox(&seen);
        clickLogin();
        QTRY_VERIFY(seen.seen);
        checkCritical(seen, EnterCredentials);
    }

    QVERIFY(server->drain(200).isEmpty());
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(!w.loginTimer()->isActive());
    QVERIFY(!Application::instance()->settings()->contains("loginUsername"));
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
    QCOMPARE(UiTest::value(w, "#username"), username);
    QCOMPARE(UiTest::value(w, "#password"), password);
    QVERIFY(!UiTest::isDisabled(w, "#username"));
    QVERIFY(!UiTest::isDisabled(w, "#password"));
}

void TestSession::quickClicksSendOneLogin()
{
    MainWindow &w = *window;
    typeCredentials("anna", "secret");
    // Both clicks land before the page has answered the first read.
    clickLogin();
    clickLogin();
    QCOMPARE(sentCommands(), (QStringList{"login", "test"}));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);

    // A click while the request is outstanding is ignored, even with empty fields.
    UiTest::setValue(w, "#password", "");
    UiTest::BoxWatch boxes;
    const int before = w.loginTimer()->remainingTime();
    QTest::qWait(100);
    clickLogin();
    settle(w);
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(sentCommands().isEmpty());
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    QVERIFY(w.loginTimer()->remainingTime() < before); // not restarted
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logging in"));
}

void TestSession::loginAckShowsLoggedInFace_data()
{
    QTest::addColumn<QByteArray>("links");
    QTest::addColumn<QStringList>("options");
    const QString first = "Call Reason...|";
    QTest::newRow("in order") << QByteArray(R"([["b","Billing"],["s","Sales"],["a","Accounts"]])")
                              << QStringList{first, "Billing|b", "Sales|s", "Accounts|a"};
    QTest::newRow("apostrophes and quotes")
        << QByteArray(R"([["it's","Customer's \"urgent\" call"],["%2","50% off %1"]])")
        << QStringList{first, "Customer's \"urgent\" call|it's", "50% off %1|%2"};
    QTest::newRow("malformed entries skipped")
        << QByteArray(R"([["only"],[],"text",null,{"x":"y"},["v","Visible","extra"],[1,2]])")
        << QStringList{first, "Visible|v", "2|1"};
    QTest::newRow("empty list") << QByteArray("[]") << QStringList{first};
    QTest::newRow("absent") << QByteArray() << QStringList{first};
}

void TestSession::loginAckShowsLoggedInFace()
{
    QFETCH(QByteArray, links);
    QFETCH(QStringList, options);
    MainWindow &w = *window;

    QByteArray ack = R"({"cmd":"login_ack","session_id":"s-1")";
    if (!links.isNull())
        ack += R"(,"media_links":)" + links;
    ack += "}";
    logInByClick(ack);

    QVERIFY(!UiTest::isShown(w, "#login_panel"));
    QVERIFY(UiTest::isShown(w, "#top_panel1"));
    QVERIFY(UiTest::isShown(w, "#top_panel2"));
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logout"));
    QVERIFY(!UiTest::isDisabled(w, "#username"));
    QVERIFY(!UiTest::isDisabled(w, "#password"));
    QVERIFY(UiTest::isShown(w, "#button_expand"));
    QVERIFY(!UiTest::isShown(w, "#button_collapse"));
    QVERIFY(!UiTest::isShown(w, "#media_button"));
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(reasonOptions(w), options);
    QCOMPARE(UiTest::value(w, "#reason"), QString());
    QVERIFY(w.pingTimer()->isActive());
    QVERIFY(!w.pingTimer()->isSingleShot());
    QCOMPARE(w.pingTimer()->interval(), 10000);
    QVERIFY(!w.loginTimer()->isActive());
    QVERIFY(!w.callEndTimer()->isActive());
}

void TestSession::secondLoggedInChangesNothing()
{
    MainWindow &w = *window;
    logInByClick(R"({"cmd":"login_ack","session_id":"s-1","media_links":[["a","A"]]})");

    // Mark the page; a rebuild or a fresh face would undo the marks.
    UiTest::evaluate(w, "var o=document.createElement('option');o.text='mark';"
                        "document.querySelector('#reason').add(o);"
                        "document.querySelector('#login_button').textContent='still';"
                        "document.querySelector('#username').disabled=true");
    QTest::qWait(200);
    const int before = w.pingTimer()->remainingTime();
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-2","media_links":[["b","B"]]})"));
    QTRY_COMPARE(Application::instance()->receiver()->mediaLinks().size(), 1);
    QTRY_COMPARE(Application::instance()->receiver()->mediaLinks().first().toList().value(0),
                 QVariant("b"));
    settle(w);

    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QCOMPARE(reasonOptions(w), (QStringList{"Call Reason...|", "A|a", "mark|mark"}));
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("still"));
    QVERIFY(UiTest::isDisabled(w, "#username"));
    QVERIFY(w.pingTimer()->isActive());
    QVERIFY(w.pingTimer()->remainingTime() <= before); // not restarted

    // A new login after a logout builds the list afresh from its own links.
    clickLogin();
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    server->send(QByteArray(R"({"cmd":"logout_ack"})"));
    QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    server->drain(100);
    logInByClick(R"({"cmd":"login_ack","session_id":"s-3","media_links":[["c","C"]]})");
    QCOMPARE(reasonOptions(w), (QStringList{"Call Reason...|", "C|c"}));
}

void TestSession::pingEveryTenSecondsWithSession()
{
    MainWindow &w = *window;
    logInByClick(R"({"cmd":"login_ack","session_id":"s-9"})");
    QElapsedTimer sinceLogin;
    sinceLogin.start();

    // Silence until the interval is up, then one ping with the session.
    QVERIFY(server->nextRaw(9000).isNull());
    const QJsonObject ping = server->next(3500);
    QVERIFY(sinceLogin.elapsed() >= 9000);
    QCOMPARE(ping.value("cmd").toString(), QStringLiteral("ping"));
    QCOMPARE(ping.value("session_id").toString(), QStringLiteral("s-9"));
    QVERIFY(w.pingTimer()->isActive()); // it repeats

    // The answer changes nothing.
    server->send(QByteArray(R"({"cmd":"ping_ack"})"));
    QTest::qWait(200);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QVERIFY(w.pingTimer()->isActive());
    QVERIFY(server->drain(100).isEmpty());
}

void TestSession::loginTimeoutResetsAndWarns()
{
    MainWindow &w = *window;
    typeCredentials("anna", "wrong");
    clickLogin();
    QCOMPARE(server->next().value("cmd").toString(), QStringLiteral("login"));
    // A server that is there but never confirms: the design's box after 5 s.
    QCOMPARE(server->next().value("cmd").toString(), QStringLiteral("test"));
    server->send(QByteArray(R"({"cmd":"test_ack","data":"x"})"));

    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    QTest::qWait(4000);
    QVERIFY(!seen.seen);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 3000);
    checkCritical(seen, CheckCredentials);

    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
    QCOMPARE(UiTest::value(w, "#username"), QString());
    QCOMPARE(UiTest::value(w, "#password"), QString());
    QVERIFY(!UiTest::isDisabled(w, "#username"));
    QVERIFY(!UiTest::isDisabled(w, "#password"));
    // The name of a failed attempt is remembered all the same.
    QCOMPARE(Application::instance()->settings()->value("loginUsername").toString(),
             QStringLiteral("anna"));

    // A confirmation that comes late still logs the window in.
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"late"})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logout"));
    QVERIFY(!UiTest::isShown(w, "#login_panel"));
    QVERIFY(w.pingTimer()->isActive());
}

// Datagrams get lost: the same login goes again while nothing comes back, and a
// server that stays silent is said to be silent, not the password wrong.
void TestSession::silentServerIsNotBlamedOnPassword()
{
    MainWindow &w = *window;
    typeCredentials("anna", "secret");
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    clickLogin();

    QList<QJsonObject> logins;
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 8000);
    for (const QJsonObject &sent : server->drain(100)) {
        if (sent.value("cmd").toString() == QLatin1String("login"))
            logins << sent;
    }
    checkCritical(seen, ServerSilent);
    // The first and its repeats, all the same datagram.
    QCOMPARE(logins.size(), 5);
    for (const QJsonObject &login : std::as_const(logins))
        QCOMPARE(login, logins.first());
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
    QCOMPARE(UiTest::value(w, "#password"), QString());
    QVERIFY(!UiTest::isDisabled(w, "#username"));
}

void TestSession::refusalShowsAtOnce()
{
    MainWindow &w = *window;
    typeCredentials("anna", "wrong");
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    clickLogin();
    QCOMPARE(server->next().value("cmd").toString(), QStringLiteral("login"));
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":""})"));
    // Long before the login's 5 s are up: the refusal needs no waiting for.
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 4000);
    QVERIFY(!w.loginTimer()->isActive());
    checkCritical(seen, CheckCredentials);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
    QCOMPARE(UiTest::value(w, "#password"), QString());
    QVERIFY(!UiTest::isDisabled(w, "#password"));
    // No repeat follows a refusal.
    for (const QJsonObject &sent : server->drain(2000))
        QVERIFY(sent.value("cmd").toString() != QLatin1String("login"));
}

void TestSession::confirmationWhileTimeoutBoxIsOpen()
{
    MainWindow &w = *window;
    typeCredentials("anna", "secret");
    clickLogin();
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);

    // While the box is up, the server confirms, and the window hears it.
    server->send(QByteArray(R"({"cmd":"test_ack"})"));
    QTRY_VERIFY(w.sessionKeeper()->heardSinceLogin());
    w.loginTimer()->stop(); // as if it had just fired
    w.onLoginTimeout();
    QPointer<QMessageBox> box = UiTest::visibleMessageBox();
    QVERIFY(box);
    QCOMPARE(box->text(), QString::fromLatin1(CheckCredentials));
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    // The box would now contradict the window: it goes by itself.
    QTRY_VERIFY(!box || !box->isVisible());
    QCOMPARE(UiTest::visibleMessageBox(), nullptr);
    QTRY_VERIFY(!box); // closed for good, not just hidden

    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logout"));
    QVERIFY(UiTest::isShown(w, "#top_panel1"));
    QVERIFY(!w.loginTimer()->isActive());
    QVERIFY(w.pingTimer()->isActive());
}

void TestSession::pageAnswersWhileBoxIsOpen()
{
    MainWindow &w = *window;
    // Should a box hold up the event loop, this closes it after a while, and
    // the checks below fail instead of hanging.
    bool safetyFired = false;
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [&] {
        safetyFired = true;
        while (QMessageBox *open = UiTest::visibleMessageBox())
            open->done(0);
    });
    safety.start(20000);

    typeCredentials("anna", "");
    clickLogin();
    QTRY_VERIFY(UiTest::visibleMessageBox());
    QPointer<QMessageBox> box = UiTest::visibleMessageBox();
    QCOMPARE(box->text(), QString::fromLatin1(EnterCredentials));

    // A page read answers...
    QStringList read;
    w.bridge()->elementValues({"#username"}, [&](const QStringList &v) { read = v; });
    QTRY_COMPARE(read, QStringList{"anna"});
    // ...and a link click in the page reaches the window.
    UiTest::evaluate(w, "document.querySelector('#media_button').click()");
    QTRY_COMPARE(w.viewMode(), MainWindow::ViewMode::Media);
    QVERIFY(box && box->isVisible());
    QVERIFY(!safetyFired);
    box->done(0);
}

void TestSession::timeoutWhileSessionHeldShowsNoBox()
{
    MainWindow &w = *window;
    logInByClick();
    // Logged out on the page, but the server has not acknowledged yet: the
    // Receiver still holds the session when the next attempt times out.
    clickLogin();
    QCOMPARE(sentCommands(), QStringList{"logout"});
    typeCredentials("bob", "pw");
    clickLogin();
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    server->drain(100);
    QVERIFY(Application::instance()->receiver()->isLoggedIn());

    UiTest::BoxWatch boxes;
    w.loginTimer()->stop();
    w.onLoginTimeout(); // a box would be open by the time this returns
    QCOMPARE(boxes.texts(), QStringList());
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
    // Nothing came back: the name stays for the next try.
    QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("bob"));
    QCOMPARE(UiTest::value(w, "#password"), QString());
    QVERIFY(!UiTest::isDisabled(w, "#username"));
    QVERIFY(!UiTest::isDisabled(w, "#password"));
}

void TestSession::loggedOutWhileLoggingIn()
{
    MainWindow &w = *window;
    typeCredentials("anna", "secret");
    clickLogin();
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    // An end of no session of ours (the answer to an earlier logout, or a doubled
    // one) leaves the login under way alone.
    server->send(QByteArray(R"({"cmd":"shutdown_ack"})"));
    server->send(QByteArray(R"({"cmd":"logout_ack"})"));
    QTRY_COMPARE(Application::instance()->receiver()->lastSessionEnd(),
                 Receiver::SessionEnd::Unheld);
    settle(w);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logging in"));
    QVERIFY(w.loginTimer()->isActive());

    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QVERIFY(!w.loginTimer()->isActive());
}

void TestSession::logoutClick()
{
    MainWindow &w = *window;
    logInByClick(R"({"cmd":"login_ack","session_id":"s-7","media_links":[["b","Billing"]]})");
    UiTest::click(w, "expand");
    UiTest::evaluate(w, "document.querySelector('#media_button').style.display='block'");
    server->send(QByteArray(R"({"cmd":"update_stat","data":{"user_surveys":4}})"));
    server->send(QByteArray(R"({"cmd":"update_live","data":{"call_completed":true}})"));
    QTRY_VERIFY(w.callEndTimer()->isActive());
    QTRY_COMPARE(UiTest::text(w, "#user_surveys"), QStringLiteral("4"));
    QVERIFY(UiTest::isShown(w, "#button_collapse"));

    clickLogin();
    // The page goes back at once, without waiting for the server.
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(!w.pingTimer()->isActive());
    QVERIFY(!w.callEndTimer()->isActive());
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(w.height(), MainWindow::CompactHeight);
    const QList<QJsonObject> sent = server->drain();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().value("cmd").toString(), QStringLiteral("logout"));
    QCOMPARE(sent.first().value("session_id").toString(), QStringLiteral("s-7"));

    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Login"));
    QVERIFY(UiTest::isShown(w, "#login_panel"));
    QVERIFY(!UiTest::isShown(w, "#top_panel1"));
    QVERIFY(!UiTest::isShown(w, "#top_panel2"));
    QVERIFY(UiTest::hasClass(w, "#container", "container-collapsed"));
    QVERIFY(!UiTest::isShown(w, "#button_expand"));
    QVERIFY(!UiTest::isShown(w, "#button_collapse"));
    QVERIFY(!UiTest::isShown(w, "#media_button"));
    QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
    QCOMPARE(UiTest::value(w, "#password"), QString());
    // The list stays; the agent's figures go with the agent.
    QCOMPARE(reasonOptions(w), (QStringList{"Call Reason...|", "Billing|b"}));
    QCOMPARE(UiTest::text(w, "#user_surveys").trimmed(), QString());

    // The acknowledgement finds the window logged out already.
    UiTest::setValue(w, "#password", "typed meanwhile");
    server->send(QByteArray(R"({"cmd":"logout_ack"})"));
    QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    QCOMPARE(UiTest::value(w, "#password"), QStringLiteral("typed meanwhile"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QVERIFY(server->drain(100).isEmpty());
}

void TestSession::loggedOutWhileLoggedOutTouchesNothing()
{
    MainWindow &w = *window;
    typeCredentials("anna", "secret");
    UiTest::evaluate(w, "document.querySelector('#login_button').textContent='mark';"
                        "document.querySelector('#top_panel1').style.display='block'");
    w.setViewMode(MainWindow::ViewMode::Expanded, false);
    w.callEndTimer()->start();

    server->send(QByteArray(R"({"cmd":"logout_ack"})"));
    QTest::qWait(300);
    settle(w);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QVERIFY(w.callEndTimer()->isActive());
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("mark"));
    QVERIFY(UiTest::isShown(w, "#top_panel1"));
    QCOMPARE(UiTest::value(w, "#password"), QStringLiteral("secret"));
}

void TestSession::rememberedUserName_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing stored") << QVariant() << "";
    QTest::newRow("plain") << QVariant("anna") << "anna";
    QTest::newRow("awkward") << QVariant(R"( O'Neil "\" \ )") << R"( O'Neil "\" \ )";
}

void TestSession::rememberedUserName()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    window.reset();
    QSettings *settings = Application::instance()->settings();
    settings->clear();
    if (stored.isValid())
        settings->setValue("loginUsername", stored);
    window = std::make_unique<MainWindow>();
    QVERIFY(UiTest::waitForPage(*window));
    QCOMPARE(UiTest::value(*window, "#username"), shown);
    QCOMPARE(UiTest::value(*window, "#password"), QString());

    // What a login click stores is what the next start shows.
    typeCredentials("next one", "pw");
    clickLogin();
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    window.reset();
    window = std::make_unique<MainWindow>();
    QVERIFY(UiTest::waitForPage(*window));
    QCOMPARE(UiTest::value(*window, "#username"), QStringLiteral("next one"));
}

void TestSession::unknownFragmentsDoNothing_data()
{
    QTest::addColumn<QString>("fragment");
    for (const char *f : {"Login", "LOGIN", "login ", " login", "add ", "Add", "Expand", "expand ",
                          "MEDIA", "media ", "Survey", "survey ", "lookup", "", "login#add"})
        QTest::newRow(*f ? f : "(empty)") << QString::fromLatin1(f);
}

void TestSession::unknownFragmentsDoNothing()
{
    QFETCH(QString, fragment);
    MainWindow &w = *window;
    // Logged in with everything ready: any command run by mistake would show.
    logInByClick();
    UiTest::setValue(w, "#no_transfer", "reason");
    UiTest::BoxWatch boxes;

    clickFragment(w, fragment);
    settle(w);
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(server->drain(200).isEmpty());
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(w.height(), MainWindow::CompactHeight);
    QCOMPARE(UiTest::text(w, "#login_button"), QStringLiteral("Logout"));
    QVERIFY(!UiTest::isShown(w, "#error_panel"));
    QCOMPARE(UiTest::text(w, "#error_text"), QString());
    QCOMPARE(UiTest::value(w, "#no_transfer"), QStringLiteral("reason"));
}

void TestSession::mediaToggles_data()
{
    QTest::addColumn<MainWindow::ViewMode>("start");
    QTest::addColumn<QList<MainWindow::ViewMode>>("modes");
    QTest::newRow("from compact") << MainWindow::ViewMode::Compact
                                  << QList<MainWindow::ViewMode>{MainWindow::ViewMode::Media,
                                                                 MainWindow::ViewMode::Compact,
                                                                 MainWindow::ViewMode::Media};
    QTest::newRow("from expanded")
        << MainWindow::ViewMode::Expanded
        << QList<MainWindow::ViewMode>{MainWindow::ViewMode::Media, MainWindow::ViewMode::Compact};
}

void TestSession::mediaToggles()
{
    QFETCH(MainWindow::ViewMode, start);
    QFETCH(QList<MainWindow::ViewMode>, modes);
    MainWindow &w = *window;
    if (start == MainWindow::ViewMode::Expanded)
        UiTest::click(w, "expand");
    QCOMPARE(w.viewMode(), start);
    for (MainWindow::ViewMode mode : modes) {
        UiTest::click(w, "media");
        QCOMPARE(w.viewMode(), mode);
        QCOMPARE(w.height(), mode == MainWindow::ViewMode::Compact ? MainWindow::CompactHeight
                                                                   : MainWindow::ExpandedHeight);
        QCOMPARE(UiTest::isShown(w, "#media_box"), mode == MainWindow::ViewMode::Media);
        QCOMPARE(UiTest::isShown(w, "#main_box"), mode != MainWindow::ViewMode::Media);
    }
    QVERIFY(server->drain(100).isEmpty());
}

void TestSession::addSendsReasonAsTyped_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sends");
    QTest::newRow("plain") << true << "Customer hung up" << true;
    QTest::newRow("line breaks and blanks") << true << "  first line\n\nsecond  \n " << true;
    QTest::newRow("quotes and backslashes") << true << R"(it's "odd" \n \ end\)" << true;
    QTest::newRow("unicode") << true << QString::fromUtf8("K\xc3\xa4the \xe2\x82\xac") << true;
    QTest::newRow("blank only") << true << " " << true;
    QTest::newRow("empty") << true << "" << false;
    QTest::newRow("logged out") << false << "Customer hung up" << false;
}

void TestSession::addSendsReasonAsTyped()
{
    QFETCH(bool, loggedIn);
    QFETCH(QString, text);
    QFETCH(bool, sends);
    MainWindow &w = *window;
    if (loggedIn)
        logInByClick(R"({"cmd":"login_ack","session_id":"s-4"})");
    UiTest::setValue(w, "#no_transfer", text);

    UiTest::click(w, "add");
    settle(w);
    const QList<QJsonObject> sent = server->drain();
    QCOMPARE(sent.size(), sends ? 1 : 0);
    if (sends) {
        QCOMPARE(sent.first().value("cmd").toString(), QStringLiteral("notransfer"));
        QCOMPARE(sent.first().value("text").toString(), text);
        QCOMPARE(sent.first().value("session_id").toString(), QStringLiteral("s-4"));
    }
    // The box is emptied by the acknowledgement, not by the click.
    QCOMPARE(UiTest::value(w, "#no_transfer"), text);
    QCOMPARE(UiTest::attribute(w, "#no_transfer", "placeholder").toString(),
             QStringLiteral("No transfer reason..."));
}

BRELLOW_WINDOW_TEST_MAIN(TestSession)
#include "tst_session.moc"
