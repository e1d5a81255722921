#include "application.h"
#include "mainwindow.h"
#include "platformchoice.h"
#include "receiver.h"
#include "signalwatcher.h"
#include "singleinstance.h"

#include <QMessageBox>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    PlatformChoice::apply(argc, argv);

    // One Brellow per user and desktop session. A second start only brings the
    // first one's window forward; it must not open (and so empty) the log.
    SingleInstance instance;
    if (!instance.isFirst()) {
        instance.raiseFirst(argc, argv);
        return 0;
    }

    Application app(argc, argv);
    qInstallMessageHandler(messageHandler);
    app.log(QStringLiteral("platform %1").arg(QGuiApplication::platformName()));

    // A terminating signal or the end of the desktop session leaves like "Exit":
    // the event loop ends and the window, destroyed below, logs out.
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::signalled, &app, [] { QCoreApplication::quit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager &) { QCoreApplication::quit(); });

    if (!app.receiver()->isConnected()) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QStringLiteral("Cannot find server. Please check the Internet "
                                             "connection and try again."),
                              QMessageBox::Close, QMessageBox::NoButton);
        return 1;
    }

    MainWindow window;
    window.setVisible(true);
    window.setAttribute(Qt::WA_QuitOnClose, true);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window,
                     &MainWindow::bringToFront);
    instance.listen();
    return app.exec();
}
