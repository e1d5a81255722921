#include <tests/support/windowtestcase.h>

#include <tests/support/messageboxes.h>
#include <ui/mainwindow.h>
#include <ui/pagekeys.h>
#include <ui/uwebview.h>

#include <QApplication>
#include <QJsonObject>
#include <QSignalSpy>

using namespace Brellow;

// The page's keyboard and focus: real key and mouse events into the real page in
// the web engine, the real window, and a fake server on 127.0.0.1 that shows
// what the keys sent.
class TestPageKeys : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:
    void tabWalksOnlyTheControlsOnScreen_data();
    void tabWalksOnlyTheControlsOnScreen();
    void enterLogsInOnce_data();
    void enterLogsInOnce();
    void enterWithEmptyFieldAsksForBoth();
    void enterAddsTheReasonWithoutLineBreak_data();
    void enterAddsTheReasonWithoutLineBreak();
    void trayGivesTheNeededField_data();
    void trayGivesTheNeededField();
    void clickBesideControlsGivesTheNeededField_data();
    void clickBesideControlsGivesTheNeededField();
    void focusLeavesWhatTheWindowNoLongerShows();
    void failedLoginGivesTheUserNameBack();
    void escapeIsTheProgramsAlone();

private:
    // Key events reach the page only in the active window with the view focused.
    void activate();
    enum class Face
    {
        LoggedOut,
        LoggedInCompact,
        LoggedInExpanded,
        Media
    };
    void showFace(Face face);
    void logIn();
    QWidget *keyTarget() const { return window->webView()->focusProxy(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void typeText(const QString &text);
    QString focused() const;
    QList<QJsonObject> sent(const QString &command, int quietMs = 300);
};

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

// What has the page's focus: a link by its fragment (two links share an id),
// anything else by its id; empty for nothing.
const char focusedScript[] = "(function(){var e=document.activeElement;"
                             "if(!e||e===document.body)return '';"
                             "return e.tagName==='A'?e.getAttribute('href'):e.id;})()";

} // namespace

void TestPageKeys::activate()
{
    window->activateWindow();
    window->webView()->setFocus();
    QTRY_VERIFY(window->isActiveWindow());
    QTRY_VERIFY(keyTarget() && keyTarget()->hasFocus());
    QTRY_VERIFY(UiTest::evaluate(*window, "document.hasFocus()").toBool());
}

void TestPageKeys::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(keyTarget(), key, modifiers);
}

void TestPageKeys::typeText(const QString &text)
{
    QTest::keyClicks(keyTarget(), text);
}

QString TestPageKeys::focused() const
{
    return UiTest::evaluate(*window, focusedScript).toString();
}

QList<QJsonObject> TestPageKeys::sent(const QString &command, int quietMs)
{
    QList<QJsonObject> found;
    for (const QJsonObject &message : server->drain(quietMs)) {
        if (message.value("cmd").toString() == command)
            found << message;
    }
    return found;
}

void TestPageKeys::logIn()
{
    UiTest::setValue(*window, "#username", "anna");
    UiTest::setValue(*window, "#password", "secret");
    UiTest::click(*window, "login");
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggingIn);
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(window->loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
}

void TestPageKeys::showFace(Face face)
{
    if (face != Face::LoggedOut)
        logIn();
    if (face == Face::LoggedInExpanded)
        window->setViewMode(MainWindow::ViewMode::Expanded, false);
    if (face == Face::Media)
        window->setViewMode(MainWindow::ViewMode::Media, false);
    // Every write has landed.
    UiTest::evaluate(*window, "0");
    // Nothing focused yet: the walk starts from the page itself.
    UiTest::evaluate(*window, "document.activeElement && document.activeElement.blur()");
}

void TestPageKeys::tabWalksOnlyTheControlsOnScreen_data()
{
    QTest::addColumn<int>("face");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("walk");

    QTest::newRow("logged out") << int(Face::LoggedOut) << false
                                << QStringList{"username", "password", "#login", "username"};
    QTest::newRow("logged out, Shift+Tab")
        << int(Face::LoggedOut) << true << QStringList{"#login", "password", "username", "#login"};
    // The reason field and Add lie below the 90 pixels the compact window shows.
    QTest::newRow("logged in, compact")
        << int(Face::LoggedInCompact) << false << QStringList{"#expand", "#login", "#expand"};
    QTest::newRow("logged in, compact, Shift+Tab")
        << int(Face::LoggedInCompact) << true << QStringList{"#login", "#expand", "#login"};
    QTest::newRow("logged in, expanded")
        << int(Face::LoggedInExpanded) << false
        << QStringList{"#collapse", "#login", "no_transfer", "#add", "#collapse"};
    QTest::newRow("logged in, expanded, Shift+Tab")
        << int(Face::LoggedInExpanded) << true
        << QStringList{"#add", "no_transfer", "#login", "#collapse", "#add"};
    // The account reference is disabled; the main box is hidden.
    QTest::newRow("media") << int(Face::Media) << false
                           << QStringList{"#collapse", "#lookup", "cli",    "email",   "title",
                                          "fname",     "sname",   "reason", "#survey", "#collapse"};
}

void TestPageKeys::tabWalksOnlyTheControlsOnScreen()
{
    activate();
    QFETCH(int, face);
    QFETCH(bool, backwards);
    QFETCH(QStringList, walk);
    showFace(Face(face));

    // The page takes keys in order, but answers scripts on a channel of its own:
    // each step is waited for.
    for (const QString &expected : walk) {
        press(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QTRY_COMPARE(focused(), expected);
    }
    // The focus never left the page for some other widget.
    QVERIFY(keyTarget()->hasFocus());
}

void TestPageKeys::enterLogsInOnce_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("presses");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("in the user name") << "#username" << 1 << Qt::KeyboardModifiers();
    QTest::newRow("in the password") << "#password" << 1 << Qt::KeyboardModifiers();
    QTest::newRow("three times") << "#password" << 3 << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << "#password" << 1 << Qt::KeyboardModifiers(Qt::KeypadModifier);
    QTest::newRow("Shift+Enter") << "#username" << 1 << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestPageKeys::enterLogsInOnce()
{
    activate();
    QFETCH(QString, field);
    QFETCH(int, presses);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    MainWindow &w = *window;

    // The agent comes back from another window: with nothing typed, the user
    // name has the focus.
    {
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
    }
    activate();
    QTRY_COMPARE(focused(), QStringLiteral("username"));
    typeText("anna");
    QTRY_COMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
    press(Qt::Key_Tab);
    QTRY_COMPARE(focused(), QStringLiteral("password"));
    typeText("secret");
    QTRY_COMPARE(UiTest::value(w, "#password"), QStringLiteral("secret"));
    UiTest::evaluate(w, QStringLiteral("document.querySelector('%1').focus()").arg(field));
    for (int i = 0; i < presses; ++i)
        press(modifiers & Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return, modifiers);

    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    QTRY_VERIFY(UiTest::isDisabled(w, "#username"));
    QVERIFY(UiTest::isDisabled(w, "#password"));
    // Keys typed while the login is under way change neither field, and Enter
    // on the Login link ("Logging in") sends nothing more.
    typeText("xyz");
    press(Qt::Key_Tab);
    QTRY_COMPARE(focused(), QStringLiteral("#login"));
    typeText("q");
    press(Qt::Key_Return);
    QCOMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
    QCOMPARE(UiTest::value(w, "#password"), QStringLiteral("secret"));
    const QList<QJsonObject> logins = sent("login", 500);
    QCOMPARE(logins.size(), 1);
    QCOMPARE(logins.first().value("username").toString(), QStringLiteral("anna"));
    QCOMPARE(logins.first().value("password").toString(),
             QStringLiteral("5ebe2294ecd0e0f08eab7690d2a6ee69"));
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
}

void TestPageKeys::enterWithEmptyFieldAsksForBoth()
{
    activate();
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    UiTest::setValue(*window, "#username", "anna");
    UiTest::evaluate(*window, "document.querySelector('#password').focus()");
    press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 15000);
    QCOMPARE(seen.text, QStringLiteral("Please enter your username and password and try again."));
    QVERIFY(sent("login").isEmpty());
    QCOMPARE(window->loginState(), MainWindow::LoginState::LoggedOut);
}

void TestPageKeys::enterAddsTheReasonWithoutLineBreak_data()
{
    QTest::addColumn<QStringList>("lines"); // typed, Shift+Enter between them, then Enter
    QTest::addColumn<QString>("reason");    // what reaches the server; empty: nothing

    QTest::newRow("one line") << QStringList{"customer hung up"}
                              << QStringLiteral("customer hung up");
    QTest::newRow("Shift+Enter breaks the line")
        << QStringList{"two", "lines"} << QStringLiteral("two\nlines");
    QTest::newRow("trailing Shift+Enter") << QStringList{"kept", ""} << QStringLiteral("kept\n");
    QTest::newRow("empty") << QStringList{""} << QString();
}

void TestPageKeys::enterAddsTheReasonWithoutLineBreak()
{
    activate();
    QFETCH(QStringList, lines);
    QFETCH(QString, reason);
    showFace(Face::LoggedInExpanded);

    for (const char *step : {"#collapse", "#login", "no_transfer"}) {
        press(Qt::Key_Tab);
        QTRY_COMPARE(focused(), QString::fromLatin1(step));
    }
    QString typed;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            press(Qt::Key_Return, Qt::ShiftModifier);
            typed += '\n';
        }
        typeText(lines.at(i));
        typed += lines.at(i);
        QTRY_COMPARE(UiTest::value(*window, "#no_transfer"), typed);
    }
    press(Qt::Key_Return);

    if (reason.isEmpty()) {
        // Once the next key has landed, Enter has been handled.
        press(Qt::Key_Tab);
        QTRY_COMPARE(focused(), QStringLiteral("#add"));
        QVERIFY(sent("notransfer", 500).isEmpty());
    } else {
        QList<QJsonObject> reasons;
        QTRY_VERIFY((reasons += sent("notransfer", 100), !reasons.isEmpty()));
        reasons += sent("notransfer", 500);
        QCOMPARE(reasons.size(), 1);
        QCOMPARE(reasons.first().value("text").toString(), reason);
        QCOMPARE(reasons.first().value("session_id").toString(), QStringLiteral("s-1"));
        QCOMPARE(focused(), QStringLiteral("no_transfer"));
    }
    // Enter put no line break into the field: it holds what was typed until the
    // server acknowledges.
    QCOMPARE(UiTest::value(*window, "#no_transfer"), reason);
}

void TestPageKeys::trayGivesTheNeededField_data()
{
    QTest::addColumn<int>("face");
    QTest::addColumn<QString>("remembered"); // the user name already in its field
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("viewMode"); // after the click

    QTest::newRow("logged out") << int(Face::LoggedOut) << ""
                                << "username" << int(MainWindow::ViewMode::Compact);
    QTest::newRow("logged out, name remembered")
        << int(Face::LoggedOut) << "anna"
        << "password" << int(MainWindow::ViewMode::Compact);
    // The reason field lies below the compact window: it grows to show it.
    QTest::newRow("logged in, compact") << int(Face::LoggedInCompact) << ""
                                        << "no_transfer" << int(MainWindow::ViewMode::Expanded);
    QTest::newRow("logged in, expanded") << int(Face::LoggedInExpanded) << ""
                                         << "no_transfer" << int(MainWindow::ViewMode::Expanded);
    QTest::newRow("media") << int(Face::Media) << ""
                           << "cli" << int(MainWindow::ViewMode::Media);
}

void TestPageKeys::trayGivesTheNeededField()
{
    activate();
    QFETCH(int, face);
    QFETCH(QString, remembered);
    QFETCH(QString, field);
    QFETCH(int, viewMode);
    showFace(Face(face));
    if (Face(face) == Face::LoggedOut)
        UiTest::setValue(*window, "#username", remembered);

    window->setVisible(false);
    window->onTrayIconClick(QSystemTrayIcon::Trigger);
    QVERIFY(window->isVisible());
    QTRY_COMPARE(focused(), field);
    QCOMPARE(int(window->viewMode()), viewMode);
    QTRY_VERIFY(UiTest::offScreenReason(*window, '#' + field).isEmpty());
    // Typing goes into that field at once.
    typeText("x");
    QTRY_COMPARE(UiTest::value(*window, '#' + field),
                 field == "password" ? QStringLiteral("x") : remembered + "x");
}

void TestPageKeys::clickBesideControlsGivesTheNeededField_data()
{
    QTest::addColumn<int>("face");
    QTest::addColumn<QString>("where"); // what the click lands on
    QTest::addColumn<int>("fromTop");   // pixels below its top edge; -1: its middle
    QTest::addColumn<QString>("focus"); // what has the focus before the click
    QTest::addColumn<QString>("field"); // and after

    QTest::newRow("logged out, beside the fields")
        << int(Face::LoggedOut) << "#main_box .right-wrap" << 6 << ""
        << "username";
    QTest::newRow("logged out, password kept")
        << int(Face::LoggedOut) << "#main_box .right-wrap" << 6 << "#password"
        << "password";
    QTest::newRow("logged out, on the password")
        << int(Face::LoggedOut) << "#password" << -1 << "#username"
        << "password";
    QTest::newRow("logged in, compact, on a figure")
        << int(Face::LoggedInCompact) << "#user_surveys" << -1 << ""
        << "no_transfer";
    QTest::newRow("logged in, expanded, on the heading")
        << int(Face::LoggedInExpanded) << ".latest-calls h2" << -1 << ""
        << "no_transfer";
    QTest::newRow("logged in, expanded, the Logout link loses the focus to the reason")
        << int(Face::LoggedInExpanded) << ".latest-calls h2" << -1 << "#login_button"
        << "no_transfer";
}

void TestPageKeys::clickBesideControlsGivesTheNeededField()
{
    activate();
    QFETCH(int, face);
    QFETCH(QString, where);
    QFETCH(int, fromTop);
    QFETCH(QString, focus);
    QFETCH(QString, field);
    showFace(Face(face));
    if (!focus.isEmpty())
        UiTest::evaluate(*window,
                         QStringLiteral("document.querySelector('%1').focus()").arg(focus));

    const QVariantList r =
        UiTest::evaluate(*window, QStringLiteral("(function(){var r=document.querySelector('%1')"
                                                 ".getBoundingClientRect();"
                                                 "return [r.left+r.width/2,"
                                                 "%2<0?r.top+r.height/2:r.top+%2];})()")
                                      .arg(where)
                                      .arg(fromTop))
            .toList();
    QCOMPARE(r.size(), 2);
    const QPoint at(int(r.at(0).toDouble()), int(r.at(1).toDouble()));
    QTest::mouseClick(keyTarget(), Qt::LeftButton, Qt::NoModifier, at);
    QTRY_COMPARE(focused(), field);
    QTRY_VERIFY(UiTest::offScreenReason(*window, '#' + field).isEmpty());
}

void TestPageKeys::focusLeavesWhatTheWindowNoLongerShows()
{
    activate();
    MainWindow &w = *window;
    showFace(Face::LoggedInExpanded);
    UiTest::evaluate(w, "document.querySelector('#no_transfer').focus()");
    typeText("half a rea");
    QTRY_COMPARE(UiTest::value(w, "#no_transfer"), QStringLiteral("half a rea"));

    // The window collapses under the agent's fingers (the call's end): the
    // reason field is clipped, so the keys must not go on into it unseen.
    w.setViewMode(MainWindow::ViewMode::Compact, false);
    QTRY_COMPARE(focused(), QStringLiteral("#expand"));
    typeText("son");

    // Enter on "+" grows the window, and the reason field has the focus again.
    press(Qt::Key_Return);
    QTRY_COMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QTRY_COMPARE(focused(), QStringLiteral("no_transfer"));
    // What was typed on "+" went nowhere.
    QCOMPARE(UiTest::value(w, "#no_transfer"), QStringLiteral("half a rea"));
    typeText("son");
    QTRY_COMPARE(UiTest::value(w, "#no_transfer"), QStringLiteral("half a reason"));

    // Enter on "-" shrinks it; the focus lands on the "+" that is now shown.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QTRY_COMPARE(focused(), QStringLiteral("#login"));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QTRY_COMPARE(focused(), QStringLiteral("#collapse"));
    press(Qt::Key_Return);
    QTRY_COMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QTRY_COMPARE(focused(), QStringLiteral("#expand"));
}

void TestPageKeys::failedLoginGivesTheUserNameBack()
{
    activate();
    MainWindow &w = *window;
    UiTest::BoxSeen seen;
    UiTest::closeNextMessageBox(&seen);
    UiTest::evaluate(w, "document.querySelector('#username').focus()");
    typeText("anna");
    QTRY_COMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
    press(Qt::Key_Tab);
    QTRY_COMPARE(focused(), QStringLiteral("password"));
    typeText("wrong");
    QTRY_COMPARE(UiTest::value(w, "#password"), QStringLiteral("wrong"));
    press(Qt::Key_Return);
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggingIn);
    // The disabled fields let go of the focus; there is nothing to type meanwhile.
    QTRY_COMPARE(focused(), QString());
    server->send(QByteArray(R"({"cmd":"login_ack"})"));
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 15000);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    // Once the box is gone the agent can type the name again at once.
    QTRY_VERIFY(!UiTest::visibleMessageBox());
    window->activateWindow();
    QTRY_COMPARE(focused(), QStringLiteral("username"));
    typeText("anna");
    QTRY_COMPARE(UiTest::value(w, "#username"), QStringLiteral("anna"));
}

void TestPageKeys::escapeIsTheProgramsAlone()
{
    activate();
    QSignalSpy escapes(window->pageKeys(), &PageKeys::escapePressed);
    UiTest::evaluate(*window, "document.querySelector('#username').focus();"
                              "window.__escapeSeen = 0;"
                              "document.addEventListener('keydown', function (e) {"
                              " if (e.key === 'Escape') ++window.__escapeSeen; }, true);");
    press(Qt::Key_Escape);
    QCOMPARE(escapes.size(), 1);
    // The page never sees it, and the window stays.
    typeText("a");
    QTRY_COMPARE(UiTest::value(*window, "#username"), QStringLiteral("a"));
    QCOMPARE(UiTest::evaluate(*window, "window.__escapeSeen").toInt(), 0);
    QVERIFY(window->isVisible());
}

BRELLOW_WINDOW_TEST_MAIN(TestPageKeys)

#include "tst_pagekeys.moc"
