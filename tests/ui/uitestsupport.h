#pragma once

// Shared fixtures for the window's tests: a fake statistics server on 127.0.0.1,
// and synchronous reads of the real page.

#include "application.h"
#include "mainwindow.h"
#include "pagebridge.h"
#include "receiver.h"
#include "uwebview.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace UiTest {

// Runs a script in the program's own world and waits for its result. Scripts on
// one page run in call order, so this also waits for every write made before.
inline QVariant evaluate(QWebEnginePage *page, const QString &script, int timeoutMs = 10000)
{
    bool done = false;
    QVariant result;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &r) {
        result = r;
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < timeoutMs)
        QTest::qWait(5);
    if (!done)
        qWarning("script did not answer: %s", qPrintable(script));
    return result;
}

inline QVariant evaluate(MainWindow &w, const QString &script)
{
    return evaluate(w.webView()->page(), script);
}

// A link click with this fragment, as the web view hands it to the window.
inline void click(MainWindow &w, const QString &fragment)
{
    w.browserClick(QUrl(QStringLiteral("qrc:/res/index.html#") + fragment));
}

// Waits until the window's page has loaded and its first writes have landed.
inline bool waitForPage(MainWindow &w, int timeoutMs = 30000)
{
    if (!QTest::qWaitFor([&] { return w.bridge()->isReady(); }, timeoutMs))
        return false;
    evaluate(w, QStringLiteral("0"));
    return true;
}

// Page state as the agent sees it.
inline QString display(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("getComputedStyle(document.querySelector('%1')).display")
                              .arg(selector))
        .toString();
}
inline bool isShown(QWebEnginePage *page, const QString &selector)
{
    return display(page, selector) != QLatin1String("none");
}
inline QString text(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').textContent").arg(selector))
        .toString();
}
inline QString value(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').value").arg(selector))
        .toString();
}
inline QVariant attribute(QWebEnginePage *page, const QString &selector, const QString &name)
{
    return evaluate(
        page,
        QStringLiteral("document.querySelector('%1').getAttribute('%2')").arg(selector, name));
}
inline bool hasClass(QWebEnginePage *page, const QString &selector, const QString &name)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').classList.contains('%2')")
                              .arg(selector, name))
        .toBool();
}

inline bool isShown(MainWindow &w, const QString &selector)
{
    return isShown(w.webView()->page(), selector);
}
inline QString text(MainWindow &w, const QString &selector)
{
    return text(w.webView()->page(), selector);
}
inline QString value(MainWindow &w, const QString &selector)
{
    return value(w.webView()->page(), selector);
}
inline QVariant attribute(MainWindow &w, const QString &selector, const QString &name)
{
    return attribute(w.webView()->page(), selector, name);
}
inline bool hasClass(MainWindow &w, const QString &selector, const QString &name)
{
    return hasClass(w.webView()->page(), selector, name);
}

// A stand-in statistics server on 127.0.0.1.
class FakeServer
{
public:
    // Picks a free port before the Application exists (it connects at construction).
    static quint16 freePort()
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        return probe.localPort();
    }

    bool listen(quint16 port) { return socket.bind(QHostAddress::LocalHost, port); }

    // The next datagram from the program, as an object; empty when none came.
    QJsonObject next(int timeoutMs = 3000)
    {
        const QByteArray raw = nextRaw(timeoutMs);
        return raw.isNull() ? QJsonObject() : QJsonDocument::fromJson(raw).object();
    }
    QByteArray nextRaw(int timeoutMs = 3000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!socket.hasPendingDatagrams() && timer.elapsed() < timeoutMs)
            QTest::qWait(5);
        if (!socket.hasPendingDatagrams())
            return {};
        QByteArray data(socket.pendingDatagramSize(), Qt::Uninitialized);
        data.truncate(socket.readDatagram(data.data(), data.size(), &client, &clientPort));
        return data;
    }
    // Everything the program sends within quietMs of the last datagram.
    QList<QJsonObject> drain(int quietMs = 300)
    {
        QList<QJsonObject> all;
        for (QByteArray d = nextRaw(quietMs); !d.isNull(); d = nextRaw(quietMs))
            all << QJsonDocument::fromJson(d).object();
        return all;
    }
    // Sends to the program; its address is learnt from the receiver's socket.
    void send(const QByteArray &datagram)
    {
        if (clientPort == 0)
            learnClient();
        socket.writeDatagram(datagram, client, clientPort);
    }
    void send(const QJsonObject &message)
    {
        send(QJsonDocument(message).toJson(QJsonDocument::Compact));
    }

    QUdpSocket socket;
    QHostAddress client;
    quint16 clientPort = 0;

private:
    void learnClient()
    {
        auto *receiverSocket = Application::instance()->receiver()->findChild<QUdpSocket *>();
        client = receiverSocket->localAddress();
        clientPort = receiverSocket->localPort();
    }
};

// A fresh window for each test, over a cleared settings store.
inline std::unique_ptr<MainWindow> openWindow()
{
    Application::instance()->settings()->clear();
    return std::make_unique<MainWindow>();
}

// Destroys the window and ends any session it leaves, as the server would.
inline void closeWindow(std::unique_ptr<MainWindow> &window, FakeServer &server)
{
    window.reset();
    if (Application::instance()->receiver()->isLoggedIn()) {
        server.send(QByteArray(R"({"cmd":"logout_ack"})"));
        QTRY_VERIFY(!Application::instance()->receiver()->isLoggedIn());
    }
    server.drain(100);
}

// Closes the next message box that opens and reports what it showed.
struct BoxSeen
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool windowModal = false; // modal to the window that opened it
    bool seen = false;
};

// The message box open right now, if any.
inline QMessageBox *visibleMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible())
            return box;
    }
    return nullptr;
}

inline void closeNextMessageBox(BoxSeen *seen, int timeoutMs = 15000)
{
    auto *poll = new QTimer(qApp);
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible())
                continue;
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->buttons = box->standardButtons();
            seen->icon = box->icon();
            seen->windowModal = box->windowModality() == Qt::WindowModal && box->parentWidget() &&
                                box->parentWidget()->isWindow();
            seen->seen = true;
            box->done(0);
            break;
        }
        if (seen->seen || elapsed->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            delete elapsed;
        }
    });
    poll->start(20);
}

} // namespace UiTest

// main() for window tests: one Application for the whole run, connected to a
// fake server whose port is chosen before the Application exists.
#define BRELLOW_UI_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        const quint16 port = UiTest::FakeServer::freePort();                                       \
        qputenv("BRELLOW_TEST_SERVER_PORT", QByteArray::number(port));                             \
        Application app(argc, argv, QStringLiteral("127.0.0.1"), port);                            \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

inline quint16 testServerPort()
{
    return quint16(qEnvironmentVariableIntValue("BRELLOW_TEST_SERVER_PORT"));
}
