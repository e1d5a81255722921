#include <app/application.h>
#include <common/signalwatcher.h>
#include <net/receiver.h>
#include <ui/mainwindow.h>

#include <QMessageBox>
#include <QSessionManager>

using namespace Brellow;

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    Application app(argc, argv);
    qInstallMessageHandler(messageHandler);

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
    return app.exec();
}
