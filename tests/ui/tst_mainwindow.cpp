#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <net/receiver.h>
#include <tests/support/messageboxes.h>
#include <ui/brellowpage.h>
#include <ui/mainwindow.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QApplication>
#include <QJsonDocument>
#include <QSettings>
#include <QWebEnginePage>

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWebEngineSettings>

using namespace Brellow;

// The window shell, link delegation, dragging and view modes,
// against the real page in a real web engine and a fake server on 127.0.0.1.
class TestMainWindow : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:

    void constructionShowsCompactWindow();
    void linkClicksArriveAndNeverNavigate_data();
    void linkClicksArriveAndNeverNavigate();
    void pageScriptsAndNavigationAreOff();
    void dragStrip_data();
    void dragStrip();
    void dragMovesWindow();
    void closeHidesAndTrayShows();
    void viewModes();
    void switchBeforeLoadKeepsMode();
    void noHeaderButtonsWhileLoggedOut();
    void exitSavesCompactGeometryAndLogsOut_data();
    void exitSavesCompactGeometryAndLogsOut();

private:
    void logIn(MainWindow &w);
};

void TestMainWindow::logIn(MainWindow &w)
{
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
}

void TestMainWindow::constructionShowsCompactWindow()
{
    MainWindow &w = *window;
    QVERIFY(w.isVisible());
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
    QCOMPARE(w.windowFlags() & (Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
             Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.centralWidget(), w.webView());
    QCOMPARE(w.webView()->page()->backgroundColor(), QColor(Qt::transparent));
    QCOMPARE(w.webView()->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(w.loginState(), MainWindow::LoginState::LoggedOut);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QVERIFY(w.trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(!w.pingTimer()->isActive() && !w.loginTimer()->isActive() &&
            !w.callEndTimer()->isActive());
    QCOMPARE(w.pingTimer()->interval(), 10000);
    QVERIFY(!w.pingTimer()->isSingleShot());
    QCOMPARE(w.loginTimer()->interval(), 5000);
    QVERIFY(w.loginTimer()->isSingleShot());
    QCOMPARE(w.callEndTimer()->interval(), 10000);
    QVERIFY(w.callEndTimer()->isSingleShot());
    // Nothing is sent by merely starting.
    QVERIFY(server->drain(200).isEmpty());
}

void TestMainWindow::linkClicksArriveAndNeverNavigate_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("login") << "#login_button"
                           << "login";
    QTest::newRow("add") << "#main_box .no-transfers-form a"
                         << "add";
    QTest::newRow("expand") << "#button_expand"
                            << "expand";
    QTest::newRow("collapse") << "#button_collapse"
                              << "collapse";
    QTest::newRow("media") << "#media_button"
                           << "media";
    QTest::newRow("lookup") << "#lookup_button"
                            << "lookup";
    QTest::newRow("survey") << "#media_box a[href='#survey']"
                            << "survey";
}

void TestMainWindow::linkClicksArriveAndNeverNavigate()
{
    QFETCH(QString, selector);
    QFETCH(QString, fragment);
    MainWindow &w = *window;
    // Only the delivery is under test here: keep the commands themselves out.
    QObject::disconnect(w.webView(), &UWebView::linkClicked, &w, nullptr);
    QSignalSpy clicks(w.webView(), &UWebView::linkClicked);

    const bool inMediaBox = selector.startsWith("#media_box") || selector == "#lookup_button";
    w.setViewMode(inMediaBox ? MainWindow::ViewMode::Media : MainWindow::ViewMode::Expanded, false);
    // Header links show one at a time, as the window shows them.
    UiTest::evaluate(w,
                     QStringLiteral("for (const id of ['button_expand','button_collapse'])"
                                    " document.getElementById(id).style.display="
                                    "'#'+id==\"%1\"?'block':'none';"
                                    "document.getElementById('media_button').style.display='block'")
                         .arg(selector));
    const QVariantList rect =
        UiTest::evaluate(w,
                         QStringLiteral("(function(){var r=document.querySelector(\"%1\")"
                                        ".getBoundingClientRect();"
                                        "return [r.left+r.width/2, r.top+r.height/2, r.width];})()")
                             .arg(selector))
            .toList();
    QCOMPARE(rect.size(), 3);
    QVERIFY(rect.at(2).toDouble() > 0);
    const QPoint centre(qRound(rect.at(0).toDouble()), qRound(rect.at(1).toDouble()));

    QWidget *proxy = w.webView()->focusProxy();
    QVERIFY(proxy);
    QTest::mouseClick(proxy, Qt::LeftButton, {}, centre);
    QTRY_COMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().first().toUrl().fragment(), fragment);
    QTest::qWait(100);
    QCOMPARE(w.webView()->page()->url(), BrellowPage::homeUrl());
    QCOMPARE(UiTest::evaluate(w, "location.hash").toString(), QString());
}

void TestMainWindow::pageScriptsAndNavigationAreOff()
{
    MainWindow &w = *window;
    QWebEnginePage *page = w.webView()->page();
    QVERIFY(!page->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    // A handler in the page's own markup never runs.
    UiTest::evaluate(w, "document.body.insertAdjacentHTML('beforeend',"
                        "'<img src=\"missing.png\" onerror=\"document.title=\\'ran\\'\">')");
    QTest::qWait(300);
    QCOMPARE(UiTest::evaluate(w, "document.title").toString(), QStringLiteral("Brellow"));
    // Nothing replaces the page: not a new URL, not a reload of another.
    page->load(QUrl::fromLocalFile("/etc/hostname"));
    QTest::qWait(300);
    page->setUrl(QUrl("qrc:/res/css/bootstrap.css"));
    QTest::qWait(300);
    QCOMPARE(UiTest::evaluate(w, "location.href").toString(), BrellowPage::homeUrl().toString());
    QVERIFY(UiTest::evaluate(w, "!!document.getElementById('container')").toBool());
}

void TestMainWindow::dragStrip_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drags");
    QTest::newRow("strip corner") << QPoint(26, 25) << Qt::LeftButton << true;
    QTest::newRow("strip far corner") << QPoint(308, 0) << Qt::LeftButton << true;
    QTest::newRow("right button in strip") << QPoint(100, 10) << Qt::RightButton << true;
    QTest::newRow("left of strip") << QPoint(25, 10) << Qt::LeftButton << false;
    QTest::newRow("right of strip") << QPoint(309, 10) << Qt::LeftButton << false;
    QTest::newRow("below strip") << QPoint(100, 26) << Qt::LeftButton << false;
}

void TestMainWindow::dragStrip()
{
    QFETCH(QPoint, press);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drags);
    MainWindow &w = *window;
    QCOMPARE(UWebView::inDragStrip(press), drags);

    UiTest::evaluate(w, "window.seen=[];for (const t of ['mousedown','mouseup'])"
                        " document.addEventListener(t,function(e){window.seen.push(e.type)},true)");
    QWidget *proxy = w.webView()->focusProxy();
    const QPoint start = w.pos();
    const QPoint global = w.mapToGlobal(press);
    QMouseEvent down(QEvent::MouseButtonPress, press, global, button, button, {});
    QCoreApplication::sendEvent(proxy, &down);
    QMouseEvent move(QEvent::MouseMove, press + QPoint(5, 5), global + QPoint(40, 30), button,
                     button, {});
    QCoreApplication::sendEvent(proxy, &move);
    QMouseEvent up(QEvent::MouseButtonRelease, press + QPoint(5, 5), global + QPoint(40, 30),
                   button, {}, {});
    QCoreApplication::sendEvent(proxy, &up);

    QCOMPARE(w.pos(), drags ? start + QPoint(40, 30) : start);
    // The press that starts a drag never reaches the page; the release always does.
    const QStringList expected =
        drags ? QStringList{"mouseup"} : QStringList{"mousedown", "mouseup"};
    QTRY_COMPARE(UiTest::evaluate(w, "window.seen").toStringList(), expected);
}

void TestMainWindow::dragMovesWindow()
{
    MainWindow &w = *window;
    QWidget *proxy = w.webView()->focusProxy();
    QMouseEvent down(QEvent::MouseButtonPress, QPoint(100, 10), w.mapToGlobal(QPoint(100, 10)),
                     Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(proxy, &down);
    QMouseEvent move(QEvent::MouseMove, QPoint(1, 1), QPoint(600, 400), Qt::LeftButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(proxy, &move);
    QCOMPARE(w.pos(), QPoint(500, 390));
    // No bounds while dragging.
    QMouseEvent away(QEvent::MouseMove, QPoint(1, 1), QPoint(-50, -20), Qt::LeftButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(proxy, &away);
    QCOMPARE(w.pos(), QPoint(-150, -30));
    QMouseEvent up(QEvent::MouseButtonRelease, QPoint(1, 1), QPoint(-50, -20), Qt::LeftButton, {},
                   {});
    QCoreApplication::sendEvent(proxy, &up);
    QMouseEvent after(QEvent::MouseMove, QPoint(1, 1), QPoint(700, 700), Qt::NoButton, Qt::NoButton,
                      {});
    QCoreApplication::sendEvent(proxy, &after);
    QCOMPARE(w.pos(), QPoint(-150, -30));
}

void TestMainWindow::closeHidesAndTrayShows()
{
    MainWindow &w = *window;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray the window could never come back: the close asks the
        // application to quit the way "Exit" does (the desktop test sees the
        // process end), and the window stays until the event loop ends.
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        w.setVisible(false);
    } else {
        QVERIFY(!w.close());
    }
    QVERIFY(!w.isVisible());
    w.onTrayIconClick(QSystemTrayIcon::Context);
    w.onTrayIconClick(QSystemTrayIcon::MiddleClick);
    QVERIFY(!w.isVisible());
    // A click brings the window back, and so does a double click.
    w.onTrayIconClick(QSystemTrayIcon::Trigger);
    QVERIFY(w.isVisible());
    w.setVisible(false);
    w.onTrayIconClick(QSystemTrayIcon::DoubleClick);
    QVERIFY(w.isVisible());

    QMenu *menu = w.trayIcon()->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Exit"));
}

void TestMainWindow::viewModes()
{
    MainWindow &w = *window;
    logIn(w);
    w.move(100, 150);

    struct Step
    {
        MainWindow::ViewMode mode;
        int height;
        bool collapsed, mainBox, mediaBox, expandButton, collapseButton;
        const char *mediaText;
    };
    const Step steps[] = {
        {MainWindow::ViewMode::Expanded, MainWindow::ExpandedHeight, false, true, false, false,
         true, "Email"},
        {MainWindow::ViewMode::Media, MainWindow::ExpandedHeight, false, false, true, false, true,
         "Main"},
        {MainWindow::ViewMode::Compact, MainWindow::CompactHeight, true, true, false, true, false,
         "Email"},
        {MainWindow::ViewMode::Media, MainWindow::ExpandedHeight, false, false, true, false, true,
         "Main"},
        {MainWindow::ViewMode::Expanded, MainWindow::ExpandedHeight, false, true, false, false,
         true, "Email"},
    };
    for (const Step &s : steps) {
        w.setViewMode(s.mode, false);
        QCOMPARE(w.viewMode(), s.mode);
        QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, s.height));
        QCOMPARE(w.pos(), QPoint(100, 150)); // the top stays in mid-screen
        QCOMPARE(UiTest::hasClass(w, "#container", "container-collapsed"), s.collapsed);
        QCOMPARE(UiTest::isShown(w, "#main_box"), s.mainBox);
        QCOMPARE(UiTest::isShown(w, "#media_box"), s.mediaBox);
        QCOMPARE(UiTest::isShown(w, "#button_expand"), s.expandButton);
        QCOMPARE(UiTest::isShown(w, "#button_collapse"), s.collapseButton);
        QCOMPARE(UiTest::text(w, "#media_button"), QString::fromLatin1(s.mediaText));
    }

    // A switch to the current mode returns early: nothing moves or reappears.
    w.setVisible(false);
    w.move(10, 20);
    w.setViewMode(MainWindow::ViewMode::Expanded, false);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.pos(), QPoint(10, 20));
    // Any other switch shows the window again.
    w.setViewMode(MainWindow::ViewMode::Compact, false);
    QVERIFY(w.isVisible());
    w.setViewMode(MainWindow::ViewMode::Compact, false);
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
}

void TestMainWindow::switchBeforeLoadKeepsMode()
{
    window.reset();
    MainWindow w;
    w.setViewMode(MainWindow::ViewMode::Expanded, false);
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight));
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QVERIFY(UiTest::waitForPage(w));
    // The page is compact and the window is not: the next switch is not skipped.
    w.setViewMode(MainWindow::ViewMode::Expanded, false);
    QCOMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QVERIFY(!UiTest::hasClass(w, "#container", "container-collapsed"));
}

void TestMainWindow::noHeaderButtonsWhileLoggedOut()
{
    MainWindow &w = *window;
    for (MainWindow::ViewMode mode :
         {MainWindow::ViewMode::Expanded, MainWindow::ViewMode::Media,
          MainWindow::ViewMode::Compact, MainWindow::ViewMode::Expanded}) {
        w.setViewMode(mode, false);
        QVERIFY(!UiTest::isShown(w, "#button_expand"));
        QVERIFY(!UiTest::isShown(w, "#button_collapse"));
        QVERIFY(!UiTest::isShown(w, "#media_button"));
    }
}

void TestMainWindow::exitSavesCompactGeometryAndLogsOut_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<MainWindow::ViewMode>("mode");
    QTest::newRow("logged out, compact") << false << MainWindow::ViewMode::Compact;
    QTest::newRow("logged in, expanded") << true << MainWindow::ViewMode::Expanded;
    QTest::newRow("logged in, media") << true << MainWindow::ViewMode::Media;
}

void TestMainWindow::exitSavesCompactGeometryAndLogsOut()
{
    QFETCH(bool, loggedIn);
    QFETCH(MainWindow::ViewMode, mode);
    MainWindow &w = *window;
    if (loggedIn)
        logIn(w);
    w.move(321, 234);
    w.setViewMode(mode, false);

    // "Exit" ends the event loop; the window then goes the way main lets it go.
    QMenu *menu = w.trayIcon()->contextMenu();
    QTimer::singleShot(0, menu->actions().first(), &QAction::trigger);
    QTimer safetyNet;
    safetyNet.setSingleShot(true);
    connect(&safetyNet, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    safetyNet.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    safetyNet.stop();
    window.reset();

    const QList<QJsonObject> sent = server->drain();
    QCOMPARE(sent.size(), loggedIn ? 1 : 0);
    if (loggedIn) {
        QCOMPARE(sent.first().value("cmd").toString(), QStringLiteral("logout"));
        QCOMPARE(sent.first().value("session_id").toString(), QStringLiteral("s-1"));
    }
    QVERIFY(Application::instance()->settings()->contains("mainWindowGeometry"));

    // The next start comes back compact, where the window was left.
    MainWindow next;
    QCOMPARE(next.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
    QCOMPARE(next.pos(), QPoint(321, 234));
}

BRELLOW_WINDOW_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
