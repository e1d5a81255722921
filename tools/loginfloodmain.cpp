// brellow-loginflood: many simulated Brellow clients on one statistics server, to see how
// they come back after the server restarts.

#include <common/signalwatcher.h>
#include <net/messages.h>
#include <tools/loginflood.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>

using namespace Brellow;

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("brellow-loginflood: %1\n").arg(message)), stderr);
    std::exit(2);
}

int number(const QCommandLineParser &parser, const QCommandLineOption &option, int minimum,
           int fallback)
{
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < minimum)
        fail(QStringLiteral("--%1 wants a whole number, at least %2")
                 .arg(option.names().first())
                 .arg(minimum));
    return value;
}

// The receiver notes every "test" answer in the debug log: 200 clients would drown the
// flood's own lines.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brellow-loginflood"));
    qInstallMessageHandler(quietDebug);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates many Brellow clients on one statistics server, each with its own UDP\n"
        "socket, logging in and pinging as Brellow does. When the server ends their sessions\n"
        "(it answers a ping with \"shutdown_ack\", or sends one as it shuts down), each client\n"
        "resumes as Brellow does: a login at once, repeated after 1.5 and 3 s while\n"
        "unanswered, then again after jittered, growing waits.\n"
        "\n"
        "Output, one line per event:\n"
        "  flood HOST:PORT clients N ping MS login spread MS seed S    at start\n"
        "  logged in N/N after MS ms         every client holds a session\n"
        "  first session ended by the server after MS ms\n"
        "  second K logins L ended E resumed R    each second after the first end: L logins\n"
        "                                    sent in that second (repeats included)\n"
        "  summary resumed R/N last T s after the first end, peak P logins/s, L logins,\n"
        "          S stopped                 when all have resumed, and on SIGINT or SIGTERM\n"
        "The agents log in spread evenly over --login-spread, so that their pings are spread\n"
        "over the ping interval as on a real floor."));
    parser.addHelpOption();
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("The server, ADDRESS:PORT (default 127.0.0.1:%1).")
            .arg(Messages::ServerPort),
        QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption clientsOption(QStringLiteral("clients"),
                                           QStringLiteral("Number of clients (default 200)."),
                                           QStringLiteral("N"));
    const QCommandLineOption pingOption(
        QStringLiteral("ping-interval"),
        QStringLiteral("Milliseconds between a client's pings (default 10000, as Brellow's; "
                       "shorter for quick tests)."),
        QStringLiteral("MS"));
    const QCommandLineOption spreadOption(
        QStringLiteral("login-spread"),
        QStringLiteral("The first logins are spread over this many milliseconds (default: the "
                       "ping interval)."),
        QStringLiteral("MS"));
    const QCommandLineOption userOption(QStringLiteral("user"),
                                        QStringLiteral("User name (default demo)."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption passwordOption(QStringLiteral("password"),
                                            QStringLiteral("Password (default demo)."),
                                            QStringLiteral("PASSWORD"));
    const QCommandLineOption seedOption(
        QStringLiteral("seed"),
        QStringLiteral("Client i draws its back-off from seed + i (default: a random seed)."),
        QStringLiteral("N"));
    const QCommandLineOption exitOption(
        QStringLiteral("exit-when-resumed"),
        QStringLiteral("Exit after the summary once every client has resumed."));
    parser.addOptions({serverOption, clientsOption, pingOption, spreadOption, userOption,
                       passwordOption, seedOption, exitOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    LoginFlood::Settings settings;
    settings.port = Messages::ServerPort;
    if (parser.isSet(serverOption)) {
        const QString text = parser.value(serverOption);
        const int colon = text.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const uint port = text.mid(colon + 1).toUInt(&ok);
        QString host = text.left(qMax(colon, 0));
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        if (colon <= 0 || !ok || port == 0 || port > 65535 || QHostAddress(host).isNull())
            fail(QStringLiteral("--server wants ADDRESS:PORT"));
        settings.host = host;
        settings.port = quint16(port);
    }
    settings.clients = number(parser, clientsOption, 1, settings.clients);
    settings.pingIntervalMs = number(parser, pingOption, 1, settings.pingIntervalMs);
    settings.loginSpreadMs = number(parser, spreadOption, 0, settings.loginSpreadMs);
    if (parser.isSet(userOption))
        settings.username = parser.value(userOption);
    if (parser.isSet(passwordOption))
        settings.password = parser.value(passwordOption);
    settings.seed = QRandomGenerator::system()->generate();
    if (parser.isSet(seedOption)) {
        bool ok = false;
        settings.seed = parser.value(seedOption).toUInt(&ok);
        if (!ok)
            fail(QStringLiteral("--seed wants a whole number from 0 to 4294967295"));
    }
    settings.exitWhenResumed = parser.isSet(exitOption);

    SignalWatcher signalWatcher({SIGINT, SIGTERM});
    LoginFlood flood(settings, stdout);
    QObject::connect(&signalWatcher, &SignalWatcher::signalled, &app, [&flood] {
        if (!flood.summaryPrinted())
            flood.printSummary();
        QCoreApplication::exit(0);
    });
    QObject::connect(
        &flood, &LoginFlood::done, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    flood.start();
    return app.exec();
}
