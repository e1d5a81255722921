#pragma once

#include <tests/support/fakeserver.h>
#include <tests/support/pagescript.h>
#include <ui/windowtimings.h>

#include <QObject>
#include <QTest>

#include <functional>
#include <memory>

namespace Brellow {
class MainWindow;
}

namespace UiTest {

using Brellow::MainWindow;

// The port of the fake server that the test's Application talks to.
quint16 testServerPort();

// Runs `test` with one Application for the whole run, connected to a fake
// server on a port chosen before the Application exists.
int runWindowTest(int argc, char **argv, const std::function<int()> &run);

// A fresh window over a cleared settings store.
std::unique_ptr<MainWindow> openWindow(const Brellow::WindowTimings &timings = {});
// Destroys the window and ends any session it leaves, as the server would.
void closeWindow(std::unique_ptr<MainWindow> &window, FakeServer &server);
// Waits until the window's page has loaded and its first writes have landed.
bool waitForPage(MainWindow &w, int timeoutMs = 30000);
// A link click with this fragment, as the web view hands it to the window.
void click(MainWindow &w, const QString &fragment);

// The page helpers, on the window's page.
QVariant evaluate(MainWindow &w, const QString &script);
bool isShown(MainWindow &w, const QString &selector);
QString offScreenReason(MainWindow &w, const QString &selector);
QString text(MainWindow &w, const QString &selector);
QString value(MainWindow &w, const QString &selector);
QVariant attribute(MainWindow &w, const QString &selector, const QString &name);
bool hasClass(MainWindow &w, const QString &selector, const QString &name);
bool isDisabled(MainWindow &w, const QString &selector);
void setValue(MainWindow &w, const QString &selector, const QString &text);

// Base of the window's test classes: one fake server for the run, and a fresh
// window with its page loaded for each test function.
class WindowTestCase : public QObject
{
    Q_OBJECT

public:
    WindowTestCase();
    ~WindowTestCase() override;

protected:
    // The intervals of each test's window; the program's own unless overridden.
    virtual Brellow::WindowTimings windowTimings() const;

    std::unique_ptr<FakeServer> server;
    std::unique_ptr<MainWindow> window;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};

} // namespace UiTest

#define BRELLOW_WINDOW_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        return UiTest::runWindowTest(argc, argv, [&] {                                             \
            TestClass test;                                                                        \
            return QTest::qExec(&test, argc, argv);                                                \
        });                                                                                        \
    }
