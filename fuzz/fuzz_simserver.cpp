// The practice server's request handling, without a socket: each datagram comes from a
// peer picked by its first byte, and every answer is caught on its way out. Checks that
// answers are well-formed server messages, go only to the peer that asked, and that the
// session count stays within the cap. "$SID" in a datagram stands for the session id
// the last "login_ack" handed out, so that inputs can reach the requests of a session.

#include "fuzzinput.h"
#include <sim/medialinks.h>
#include <sim/simlog.h>
#include <sim/simserver.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace Brellow;

namespace {

constexpr int MaxSessions = 4;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_simserver: broken: %s\n", what);
        std::abort();
    }
}

struct Harness
{
    Harness() : app(argc, argv), devNull(std::fopen("/dev/null", "w")), log(devNull)
    {
        check(devNull != nullptr, "cannot open /dev/null");
        config.accounts = Accounts::demo();
        config.mediaLinks = MediaLinks::builtIn();
        config.maxSessions = MaxSessions;
    }

    int argc = 1;
    char name[16] = "fuzz_simserver";
    char *argv[2] = {name, nullptr};
    QCoreApplication app;
    std::FILE *devNull;
    SimLog log;
    SimConfig config;
};

QHostAddress peerAddress(uint8_t selector)
{
    switch ((selector >> 4) & 3) {
    case 0:
        return QHostAddress(QStringLiteral("127.0.0.1"));
    case 1:
        return QHostAddress(QStringLiteral("::ffff:127.0.0.1"));
    case 2:
        return QHostAddress(QStringLiteral("::1"));
    default:
        return QHostAddress(QStringLiteral("127.0.0.2"));
    }
}

const QSet<QString> serverCommands{
    QStringLiteral("login_ack"),   QStringLiteral("logout_ack"),    QStringLiteral("shutdown_ack"),
    QStringLiteral("ping_ack"),    QStringLiteral("test_ack"),      QStringLiteral("update_stat"),
    QStringLiteral("update_live"), QStringLiteral("notransfer_ack")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness harness;
    QString lastSessionId = QStringLiteral("none");
    QHostAddress from;
    quint16 fromPort = 0;
    {
        SimServer server(harness.config, &harness.log);
        server.setSender([&](const QHostAddress &to, quint16 port, const QByteArray &json) {
            check(port == fromPort && to.isEqual(from, QHostAddress::ConvertV4MappedToIPv4),
                  "an answer went to another peer");
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(json, &error);
            check(error.error == QJsonParseError::NoError && document.isObject(),
                  "an answer is not a JSON object");
            const QJsonObject message = document.object();
            const QString cmd = message.value(QStringLiteral("cmd")).toString();
            check(serverCommands.contains(cmd), "an answer has an unknown cmd");
            if (cmd == QLatin1String("login_ack") && message.contains(QStringLiteral("session_id")))
                lastSessionId = message.value(QStringLiteral("session_id")).toString();
            return true;
        });

        for (const QByteArray &record : splitDatagrams(data, size)) {
            if (record.isEmpty())
                continue;
            const uint8_t selector = uint8_t(record.at(0));
            from = peerAddress(selector);
            fromPort = quint16(40000 + (selector & 0x0f));
            QByteArray datagram(record.constData() + 1, record.size() - 1);
            datagram.replace("$SID", lastSessionId.toLatin1());
            server.handleDatagram(datagram, from, fromPort);
            check(server.sessionCount() <= MaxSessions, "more sessions than the cap");
        }
    }
    // Ended sessions are deleted later; do it now so that nothing carries over.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
