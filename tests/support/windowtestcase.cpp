#include <tests/support/appstart.h>
#include <tests/support/wait.h>
#include <tests/support/windowtestcase.h>

#include <app/application.h>
#include <app/enginedefaults.h>
#include <app/sitesettings.h>
#include <net/receiver.h>
#include <ui/brellowpage.h>
#include <ui/mainwindow.h>
#include <ui/pagebridge.h>
#include <ui/uwebview.h>

#include <QSettings>

using namespace Brellow;

namespace UiTest {

quint16 testServerPort()
{
    return quint16(qEnvironmentVariableIntValue("BRELLOW_TEST_SERVER_PORT"));
}

int runWindowTest(int argc, char **argv, const std::function<int()> &run)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine runs with the program's own defaults.
    EngineDefaults::apply(SiteSettings::load());
    const quint16 port = FakeServer::freePort();
    qputenv("BRELLOW_TEST_SERVER_PORT", QByteArray::number(port));
    Application app(argc, argv);
    if (!AppTest::startApplication(app, port))
        return 1;
    return run();
}

std::unique_ptr<MainWindow> openWindow(const WindowTimings &timings)
{
    Application::instance()->settings()->clear();
    return std::make_unique<MainWindow>(nullptr, timings);
}

void closeWindow(std::unique_ptr<MainWindow> &window, FakeServer &server)
{
    window.reset();
    if (Application::instance()->receiver()->isLoggedIn()) {
        server.send(QByteArray(R"({"cmd":"logout_ack"})"));
        QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    }
    server.drain(100);
}

bool waitForPage(MainWindow &w, int timeoutMs)
{
    if (!waitFor([&] { return w.bridge()->isReady(); }, timeoutMs))
        return false;
    evaluate(w, QStringLiteral("0"));
    return true;
}

void click(MainWindow &w, const QString &fragment)
{
    QUrl url = BrellowPage::homeUrl();
    url.setFragment(fragment);
    w.browserClick(url);
}

QVariant evaluate(MainWindow &w, const QString &script)
{
    return evaluate(w.webView()->page(), script);
}

bool isShown(MainWindow &w, const QString &selector)
{
    return isShown(w.webView()->page(), selector);
}

QString offScreenReason(MainWindow &w, const QString &selector)
{
    return offScreenReason(w.webView()->page(), selector);
}

QString text(MainWindow &w, const QString &selector)
{
    return text(w.webView()->page(), selector);
}

QString value(MainWindow &w, const QString &selector)
{
    return value(w.webView()->page(), selector);
}

QVariant attribute(MainWindow &w, const QString &selector, const QString &name)
{
    return attribute(w.webView()->page(), selector, name);
}

bool hasClass(MainWindow &w, const QString &selector, const QString &name)
{
    return hasClass(w.webView()->page(), selector, name);
}

bool isDisabled(MainWindow &w, const QString &selector)
{
    return isDisabled(w.webView()->page(), selector);
}

void setValue(MainWindow &w, const QString &selector, const QString &text)
{
    setValue(w.webView()->page(), selector, text);
}

WindowTestCase::WindowTestCase() = default;
WindowTestCase::~WindowTestCase() = default;

WindowTimings WindowTestCase::windowTimings() const
{
    return {};
}

void WindowTestCase::initTestCase()
{
    server = std::make_unique<FakeServer>();
    QVERIFY(server->listen(testServerPort()));
}

void WindowTestCase::init()
{
    window = openWindow(windowTimings());
    QVERIFY(waitForPage(*window));
}

void WindowTestCase::cleanup()
{
    closeWindow(window, *server);
}

} // namespace UiTest
