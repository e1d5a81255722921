#include <common/signalwatcher.h>
#include <sim/simlog.h>
#include <sim/simoptions.h>
#include <sim/simserver.h>

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace Brellow;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brellow-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRELLOW_SIM_VERSION));

    SimOptions options;
    if (options.parse(QCoreApplication::arguments()) == SimOptions::Outcome::Exit) {
        std::FILE *out = options.exitCode() == 0 ? stdout : stderr;
        std::fputs(options.message().toLocal8Bit().constData(), out);
        return options.exitCode();
    }

    // Watch the signals before anyone can learn the port and expect an orderly shutdown.
    SignalWatcher signalWatcher({SIGINT, SIGTERM});

    SimLog log(stdout);
    log.setQuiet(options.quiet);
    SimServer server(options.config, &log);
    if (!server.listen(options.listenAddress, options.listenPort)) {
        std::fprintf(stderr, "brellow-sim: cannot listen on %s: %s\n",
                     qPrintable(SimLog::peerText(options.listenAddress, options.listenPort)),
                     qPrintable(server.errorString()));
        return 1;
    }

    QObject::connect(&signalWatcher, &SignalWatcher::signalled, &app, [&](int signalNumber) {
        server.shutdown();
        log.note(
            QStringLiteral("stopped"),
            QStringLiteral("%1 malformed=%2")
                .arg(signalNumber == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
                .arg(server.malformedCount()));
        QCoreApplication::exit(0);
    });

    log.note(QStringLiteral("listening"), SimLog::peerText(server.address(), server.port()));
    if (options.builtInAccount)
        log.note(QStringLiteral("account"),
                 Accounts::demoUser() + QLatin1Char(' ') + Accounts::demoPassword());
    else
        log.note(
            QStringLiteral("accounts"),
            QStringLiteral("%1 %2").arg(options.config.accounts.size()).arg(options.usersFile));

    return app.exec();
}
