#include "application.h"
#include "receiver.h"

#include <QMessageBox>

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    qInstallMessageHandler(messageHandler);

    if (!app.receiver()->isConnected()) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QStringLiteral("Cannot find server. Please check the Internet "
                                             "connection and try again."),
                              QMessageBox::Close, QMessageBox::NoButton);
        return 1;
    }

    return app.exec();
}
