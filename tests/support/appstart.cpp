#include <tests/support/appstart.h>

#include <app/application.h>
#include <app/serveraddress.h>
#include <net/receiver.h>

using namespace Brellow;

namespace AppTest {

bool startApplication(Application &app, quint16 port)
{
    app.openSettingsAndLog();
    LocalizedText error;
    const ServerAddress server = ServerAddress::parse(QStringLiteral("127.0.0.1:%1").arg(port),
                                                      QStringLiteral("the test"), &error);
    if (!server.isValid()) {
        qWarning("bad test server address: %s", qPrintable(error.english()));
        return false;
    }
    return app.connectToServer(server, Receiver::ConnectTimeoutMs);
}

} // namespace AppTest
