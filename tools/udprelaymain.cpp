// brellow-udprelay: a UDP relay between Brellow (or any client of the practice server) and
// a statistics server that drops, delays, duplicates and reorders datagrams on purpose.

#include <common/signalwatcher.h>
#include <net/messages.h>
#include <tools/udprelay.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>

using namespace Brellow;

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("brellow-udprelay: %1\n").arg(message)), stderr);
    std::exit(2);
}

bool parseAddress(const QString &text, QHostAddress *address, quint16 *port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint parsedPort = text.mid(colon + 1).toUInt(&ok);
    if (!ok || parsedPort == 0 || parsedPort > 65535 || !address->setAddress(host))
        return false;
    *port = quint16(parsedPort);
    return true;
}

double probability(const QCommandLineParser &parser, const QCommandLineOption &option,
                   double fallback)
{
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || value < 0.0 || value > 1.0)
        fail(QStringLiteral("--%1 wants a probability from 0 to 1").arg(option.names().first()));
    return value;
}

int milliseconds(const QCommandLineParser &parser, const QCommandLineOption &option, int fallback)
{
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0)
        fail(QStringLiteral("--%1 wants a whole number of milliseconds")
                 .arg(option.names().first()));
    return value;
}

QString countsText(const char *name, const UdpRelay::Counts &counts)
{
    return QStringLiteral("%1 received=%2 sent=%3 dropped=%4 duplicated=%5 delayed=%6 "
                          "reordered=%7 failed=%8")
        .arg(QLatin1String(name))
        .arg(counts.received)
        .arg(counts.sent)
        .arg(counts.dropped)
        .arg(counts.duplicated)
        .arg(counts.delayed)
        .arg(counts.reordered)
        .arg(counts.failed);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brellow-udprelay"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Relays UDP datagrams between clients and a statistics server, and drops, delays,\n"
        "duplicates and reorders them on purpose. Listens on 127.0.0.1:PORT; each client\n"
        "endpoint gets its own upstream socket, so the server sees one peer per client.\n"
        "\n"
        "Prints \"listening 127.0.0.1:PORT server ADDRESS:PORT seed N\" at start, \"client\n"
        "PEER upstream PORT\" for each new client, and on SIGINT or SIGTERM the counts of each\n"
        "direction (\"up\": client to server, \"down\": server to client), then exits with 0.\n"
        "The same seed and the same datagrams in the same order give the same faults."));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Listen on 127.0.0.1:PORT (default 0: a free one)."),
        QStringLiteral("PORT"));
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("The server, ADDRESS:PORT (default 127.0.0.1:%1).")
            .arg(Messages::ServerPort),
        QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption dropOption(QStringLiteral("drop"),
                                        QStringLiteral("Drop probability, both directions."),
                                        QStringLiteral("P"));
    const QCommandLineOption dropUpOption(
        QStringLiteral("drop-up"),
        QStringLiteral("Drop probability of client datagrams (default: --drop)."),
        QStringLiteral("P"));
    const QCommandLineOption dropDownOption(
        QStringLiteral("drop-down"),
        QStringLiteral("Drop probability of server datagrams (default: --drop)."),
        QStringLiteral("P"));
    const QCommandLineOption delayOption(
        QStringLiteral("delay"), QStringLiteral("Fixed delay of every datagram (default 0)."),
        QStringLiteral("MS"));
    const QCommandLineOption jitterOption(
        QStringLiteral("jitter"),
        QStringLiteral("Random extra delay, from 0 to this, drawn for each datagram (default 0)."),
        QStringLiteral("MS"));
    const QCommandLineOption duplicateOption(
        QStringLiteral("duplicate"), QStringLiteral("Probability that a datagram is sent twice."),
        QStringLiteral("P"));
    const QCommandLineOption reorderOption(
        QStringLiteral("reorder"),
        QStringLiteral("Probability that a datagram is held back until the next one of the same "
                       "client and direction has gone."),
        QStringLiteral("P"));
    const QCommandLineOption holdOption(
        QStringLiteral("reorder-hold"),
        QStringLiteral("A held datagram goes anyway after this long (default 200)."),
        QStringLiteral("MS"));
    const QCommandLineOption seedOption(
        QStringLiteral("seed"), QStringLiteral("Seed of the faults (default: a random one)."),
        QStringLiteral("N"));
    parser.addOptions({portOption, serverOption, dropOption, dropUpOption, dropDownOption,
                       delayOption, jitterOption, duplicateOption, reorderOption, holdOption,
                       seedOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    quint16 listenPort = 0;
    if (parser.isSet(portOption)) {
        bool ok = false;
        const uint port = parser.value(portOption).toUInt(&ok);
        if (!ok || port > 65535)
            fail(QStringLiteral("--port wants a port number"));
        listenPort = quint16(port);
    }
    QHostAddress server(QHostAddress::LocalHost);
    quint16 serverPort = Messages::ServerPort;
    if (parser.isSet(serverOption) &&
        !parseAddress(parser.value(serverOption), &server, &serverPort))
        fail(QStringLiteral("--server wants ADDRESS:PORT"));

    UdpRelay::Faults faults;
    const double drop = probability(parser, dropOption, 0.0);
    faults.dropUp = probability(parser, dropUpOption, drop);
    faults.dropDown = probability(parser, dropDownOption, drop);
    faults.delayMs = milliseconds(parser, delayOption, 0);
    faults.jitterMs = milliseconds(parser, jitterOption, 0);
    faults.duplicate = probability(parser, duplicateOption, 0.0);
    faults.reorder = probability(parser, reorderOption, 0.0);
    faults.reorderHoldMs = milliseconds(parser, holdOption, faults.reorderHoldMs);
    quint32 seed = QRandomGenerator::system()->generate();
    if (parser.isSet(seedOption)) {
        bool ok = false;
        seed = parser.value(seedOption).toUInt(&ok);
        if (!ok)
            fail(QStringLiteral("--seed wants a whole number from 0 to 4294967295"));
    }

    SignalWatcher signalWatcher({SIGINT, SIGTERM});
    UdpRelay relay(server, serverPort, faults, seed);
    if (!relay.listen(listenPort)) {
        std::fprintf(stderr, "brellow-udprelay: cannot listen on 127.0.0.1:%u: %s\n",
                     unsigned(listenPort), qPrintable(relay.errorString()));
        return 1;
    }
    QObject::connect(&relay, &UdpRelay::clientAdded,
                     [](const QHostAddress &address, quint16 port, quint16 upstreamPort) {
                         say(QStringLiteral("client %1:%2 upstream %3")
                                 .arg(address.toString())
                                 .arg(port)
                                 .arg(upstreamPort));
                     });
    QObject::connect(&signalWatcher, &SignalWatcher::signalled, &app, [&relay] {
        say(countsText("up", relay.counts(UdpRelay::Up)));
        say(countsText("down", relay.counts(UdpRelay::Down)));
        QCoreApplication::exit(0);
    });
    say(QStringLiteral("listening 127.0.0.1:%1 server %2:%3 seed %4")
            .arg(relay.port())
            .arg(server.toString())
            .arg(serverPort)
            .arg(seed));
    return app.exec();
}
