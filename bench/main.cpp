// brellow-bench: measures the real brellow from outside, as a user's tools would:
// memory and CPU of its process tree from /proc, its page through the
// remote-debugging endpoint, and its statistics server played by the bench.
// Prints a table and writes the same figures as JSON. Each measure is a file of
// its own in measures/; the runner runs those the command line asks for.
#include "benchoptions.h"
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

QProcessEnvironment parseEnv(const QStringList &pairs, bool *ok)
{
    QProcessEnvironment env;
    *ok = true;
    for (const QString &pair : pairs) {
        const int eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            *ok = false;
            continue;
        }
        env.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return env;
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace Bench;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brellow-bench"));
    const QStringList allSections = Measure::names();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures the real brellow from outside: start-up against a bare web view, "
                       "memory of its process "
                       "tree alone and beside other users' instances, idle CPU, datagram-to-page "
                       "latency, bursts and "
                       "streams of datagrams, and SIGTERM under load. Needs an X display; root to "
                       "create the other users."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("quick"), QStringLiteral("Shorter runs, for development.")},
        {QStringLiteral("brellow"), QStringLiteral("The brellow binary to measure."),
         QStringLiteral("path"), QStringLiteral(BRELLOW_PATH)},
        {QStringLiteral("bareview"), QStringLiteral("The bare web view binary."),
         QStringLiteral("path"), QStringLiteral(BAREVIEW_PATH)},
        {QStringLiteral("env"), QStringLiteral("Extra environment for brellow (repeatable)."),
         QStringLiteral("NAME=VALUE")},
        {QStringLiteral("bare-env"),
         QStringLiteral("Extra environment for the bare view (repeatable)."),
         QStringLiteral("NAME=VALUE")},
        {QStringLiteral("only"),
         QStringLiteral("Comma-separated sections: %1.").arg(allSections.join(QLatin1Char(','))),
         QStringLiteral("list")},
        {QStringLiteral("json"), QStringLiteral("Where to write the results."),
         QStringLiteral("file"), QStringLiteral("bench-results.json")},
        {QStringLiteral("stream-seconds"),
         QStringLiteral("Length of each sustained stream (default 60, quick 5)."),
         QStringLiteral("s")},
        {QStringLiteral("users"),
         QStringLiteral("Further brellows, each as another user (default 3, quick 1)."),
         QStringLiteral("n")},
    });
    parser.process(app);

    Options options;
    options.quick = parser.isSet(QStringLiteral("quick"));
    if (options.quick) {
        options.users = 1;
        options.startupRuns = 3;
        options.settleMs = 5000;
        options.idleMs = 10000;
        options.latencyMs = 3000;
        options.streamMs = 5000;
        options.latestStateTimeoutMs = 30000;
    }
    options.brellow = parser.value(QStringLiteral("brellow"));
    options.bareview = parser.value(QStringLiteral("bareview"));
    options.jsonPath = parser.value(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("stream-seconds")))
        options.streamMs = parser.value(QStringLiteral("stream-seconds")).toInt() * 1000;
    if (parser.isSet(QStringLiteral("users")))
        options.users = parser.value(QStringLiteral("users")).toInt();
    bool ok = false;
    options.env = parseEnv(parser.values(QStringLiteral("env")), &ok);
    bool bareOk = false;
    options.bareEnv = parseEnv(parser.values(QStringLiteral("bare-env")), &bareOk);
    if (!ok || !bareOk) {
        note(QStringLiteral("--env and --bare-env take NAME=VALUE"));
        return 2;
    }
    const QStringList only =
        parser.isSet(QStringLiteral("only"))
            ? parser.value(QStringLiteral("only")).split(QLatin1Char(','), Qt::SkipEmptyParts)
            : allSections;
    for (const QString &section : only) {
        if (!allSections.contains(section)) {
            note(QStringLiteral("unknown section %1").arg(section));
            return 2;
        }
        options.sections.insert(section);
    }
    return Runner(options).run();
}
