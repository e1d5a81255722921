// Brellow's side of the protocol: every datagram goes through Receiver's dispatcher, and
// what it signals is read the way the status window reads it. Checks that the session
// state follows the messages and that a logged "test_ack" stays one short line.

#include "fuzzinput.h"
#include <app/logfile.h>
#include <net/messages.h>
#include <net/receiver.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace Brellow;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_receiver: broken: %s\n", what);
        std::abort();
    }
}

// The window's reading of a statistics or live call message.
void readLikeTheWindow(const QVariantMap &data)
{
    volatile qint64 sink = 0;
    sink = sink + data.value(QStringLiteral("user_surveys")).toInt();
    // The score is shown as a whole percentage; a value too large to show counts as 0.
    const double percent =
        std::floor(double(data.value(QStringLiteral("average_score")).toFloat()) * 100.0 + 0.5);
    if (std::isfinite(percent) && std::fabs(percent) < 9.0e18)
        sink = sink + qint64(percent);
    sink = sink + data.value(QStringLiteral("team_position")).toInt();
    sink = sink + data.value(QStringLiteral("team_surveys")).toInt();
    const QVariantList answers = Messages::toList(data.value(QStringLiteral("call_answers")));
    for (const QVariant &answer : answers)
        sink = sink + answer.toString().size();
    sink = sink + data.value(QStringLiteral("call_question")).toInt();
    const QVariant completed = data.value(QStringLiteral("call_completed"));
    sink = sink + (completed.isValid() && !completed.isNull() && completed.toBool());
    sink = sink + data.value(QStringLiteral("call_score")).toString().size();
    sink = sink + data.value(QStringLiteral("call_started")).toBool();
    sink = sink + data.value(QStringLiteral("call_cli")).toString().size();
}

// Qt messages are what the log receives: the line it writes must stay one line.
void messageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const QString line = LogFile::escape(LogFile::cut(message, LogFile::DefaultMaxTextChars));
    check(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
          "a logged text split its line");
    check(line.size() <= 6 * LogFile::DefaultMaxTextChars + 64, "a logged text was not cut");
}

struct Harness
{
    Harness() : app(argc, argv), receiver(nullptr, QStringLiteral("127.0.0.1"), 9)
    {
        qInstallMessageHandler(messageHandler);
        QObject::connect(&receiver, &Receiver::loggedIn, [this] {
            check(receiver.isLoggedIn(), "loggedIn without a session");
            ++loggedIn;
            // The window fills its reason list from the media links.
            volatile qsizetype sink = 0;
            for (const QVariant &link : receiver.mediaLinks()) {
                const QVariantList entry = Messages::toList(link);
                if (entry.size() >= 2)
                    sink = sink + entry.at(0).toString().size() + entry.at(1).toString().size();
            }
        });
        QObject::connect(&receiver, &Receiver::loggedOut, [this] {
            check(!receiver.isLoggedIn(), "loggedOut with a session");
            ++loggedOut;
        });
        QObject::connect(&receiver, &Receiver::updateStat, [this](const QVariantMap &data) {
            ++updates;
            readLikeTheWindow(data);
        });
        QObject::connect(&receiver, &Receiver::updateLive, [this](const QVariantMap &data) {
            ++updates;
            readLikeTheWindow(data);
        });
        QObject::connect(&receiver, &Receiver::ackPing, [this] { ++acks; });
        QObject::connect(&receiver, &Receiver::ackNoTransfer, [this] { ++acks; });
    }

    int argc = 1;
    char name[16] = "fuzz_receiver";
    char *argv[2] = {name, nullptr};
    QCoreApplication app;
    // Connecting a UDP socket sends nothing; nothing here writes to it.
    Receiver receiver;
    int loggedIn = 0;
    int loggedOut = 0;
    int updates = 0;
    int acks = 0;
};

// What a datagram must do to the session, worked out independently of the Receiver.
void checkSessionAfter(const QByteArray &datagram, bool wasLoggedIn, bool isLoggedIn)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(datagram, &error);
    const QJsonObject object = document.object();
    const QString cmd = error.error == QJsonParseError::NoError && document.isObject() &&
                                object.value(QStringLiteral("cmd")).isString()
                            ? object.value(QStringLiteral("cmd")).toString()
                            : QString();
    if (cmd == QLatin1String("logout_ack") || cmd == QLatin1String("shutdown_ack"))
        check(!isLoggedIn, "still logged in after logout_ack or shutdown_ack");
    else if (cmd != QLatin1String("login_ack"))
        check(isLoggedIn == wasLoggedIn, "session changed by another message");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness harness;
    Receiver &receiver = harness.receiver;
    for (const QByteArray &datagram : splitDatagrams(data, size)) {
        const bool wasLoggedIn = receiver.isLoggedIn();
        // A copy that owns its bytes, as a datagram read from the socket does.
        receiver.handleDatagram(QByteArray(datagram.constData(), datagram.size()));
        checkSessionAfter(datagram, wasLoggedIn, receiver.isLoggedIn());
    }
    // Each input starts without a session.
    receiver.handleDatagram(QByteArrayLiteral(R"({"cmd":"logout_ack"})"));
    check(!receiver.isLoggedIn(), "logout_ack left a session");
    return 0;
}
