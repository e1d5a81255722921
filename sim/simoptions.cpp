#include <sim/simoptions.h>

#include <sim/medialinks.h>

#include <QCommandLineParser>
#include <QCoreApplication>

#include <limits>

namespace Brellow {

namespace {
const char description[] = R"(
Brellow's practice statistics server. It speaks Brellow's datagram protocol over UDP,
one JSON object per datagram, as a real statistics server would, and answers every
datagram from its listening port to the address and port it came from.

Accounts: without --users the built-in account "demo" with password "demo" is active.
An accounts file holds one "USER MD5HEX" per line, the MD5 in hex of the password's
Latin-1 bytes, as the client sends it; blank lines and lines starting with # are skipped.

Requests: login, logout, ping, notransfer, test ("test" needs no session). A logout,
ping or notransfer whose session_id is missing, unknown or belongs to another client is
answered with "shutdown_ack", so that a client whose session is gone (server restart,
idle timeout) shows its login form again; no session is changed by it. Malformed
datagrams (not JSON, not an object, missing or unknown cmd, members of the wrong type)
are counted and ignored. One session per client address and port: a new login from
there replaces the old session. Sessions that send nothing for --idle-timeout end with
a "shutdown_ack". While --max-sessions sessions are open, logins from other clients are
refused with a "login_ack" without "session_id" (logged with the reason: full).

Pushes after a login: "update_stat" at once and every --stat-interval, and calls as
"update_live" messages (start, the survey answers one by one, the outcome), or instead
the entries of --script. A script holds one JSON object per line,
  {"delay_ms": N, "msg": {...any JSON object...}}
the delay counted from the previous entry (the first from the login); blank lines and
lines starting with # are skipped; an empty script pushes nothing.

Log on stdout, one line per event, flushed at once:
  <yyyy-MM-ddThh:mm:ss.zzz local time> <kind> <rest>
  in PEER DATAGRAM      the datagram as received, control characters as \n \r \t \xNN
  out PEER JSON         compact JSON as sent
  ignored PEER REASON   a malformed datagram
  failed PEER REASON    a send that failed
  session PEER ID|- opened user U | closed logout|idle|replaced|shutdown | refused user U
                        | refused user U (full: N sessions)
  listening ADDRESS:PORT    at start; the bound port also for --listen ADDRESS:0
  account USER PASSWORD | accounts N FILE    at start
  logins N/s            with --login-rate: N login datagrams arrived in the second
                        just over (written only for seconds with logins)
  stopped SIGNAL malformed=N    at shutdown
PEER is ADDRESS:PORT. --quiet keeps only the start and stop lines and the logins lines.

SIGINT or SIGTERM sends "shutdown_ack" to every session's client and exits with 0.
Exit codes: 0 done, 1 cannot listen, 2 bad command line or file.)";

bool parseNumber(const QString &text, int minimum, int *value)
{
    bool ok = false;
    const qlonglong parsed = text.toLongLong(&ok);
    if (!ok || parsed < minimum || parsed > std::numeric_limits<int>::max())
        return false;
    *value = static_cast<int>(parsed);
    return true;
}
} // namespace

bool SimOptions::parseListen(const QString &text, QHostAddress *address, quint16 *port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return false; // an IPv6 address needs brackets to tell it from the port
    QHostAddress parsedAddress;
    if (!parsedAddress.setAddress(host))
        return false;
    if (bracketed != (parsedAddress.protocol() == QAbstractSocket::IPv6Protocol))
        return false;
    bool ok = false;
    const uint parsedPort = text.mid(colon + 1).toUInt(&ok);
    if (!ok || parsedPort > 65535)
        return false;
    *address = parsedAddress;
    *port = static_cast<quint16>(parsedPort);
    return true;
}

SimOptions::Outcome SimOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description).trimmed());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const SimTimings defaults;
    const QCommandLineOption listenOption(
        QStringLiteral("listen"),
        QStringLiteral("Listen on ADDRESS:PORT (default 127.0.0.1:%1; port 0 picks a free one).")
            .arg(defaultPort),
        QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption usersOption(
        QStringLiteral("users"), QStringLiteral("Accounts file instead of the demo account."),
        QStringLiteral("FILE"));
    const QCommandLineOption mediaLinksOption(
        QStringLiteral("media-links"),
        QStringLiteral("Call reasons sent at login, a JSON array of [value, text] pairs "
                       "(default: a built-in list)."),
        QStringLiteral("FILE"));
    const QCommandLineOption scriptOption(
        QStringLiteral("script"),
        QStringLiteral("Replay this script to each client after its login instead of "
                       "generated figures and calls."),
        QStringLiteral("FILE"));
    const QCommandLineOption statOption(
        QStringLiteral("stat-interval"),
        QStringLiteral("Milliseconds between update_stat pushes (default %1).")
            .arg(defaults.statIntervalMs),
        QStringLiteral("MS"));
    const QCommandLineOption firstCallOption(
        QStringLiteral("first-call"),
        QStringLiteral("Milliseconds from a login to the first call (default %1).")
            .arg(defaults.firstCallMs),
        QStringLiteral("MS"));
    const QCommandLineOption answerStepOption(
        QStringLiteral("answer-step"),
        QStringLiteral("Milliseconds between a call's start, its answers and its outcome "
                       "(default %1).")
            .arg(defaults.answerStepMs),
        QStringLiteral("MS"));
    const QCommandLineOption callIntervalOption(
        QStringLiteral("call-interval"),
        QStringLiteral("Milliseconds from a call's outcome to the next call (default %1).")
            .arg(defaults.callIntervalMs),
        QStringLiteral("MS"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-timeout"),
        QStringLiteral("End a session that sends nothing for this many milliseconds "
                       "(default %1; 0: never).")
            .arg(SimConfig().idleTimeoutMs),
        QStringLiteral("MS"));
    const QCommandLineOption maxSessionsOption(
        QStringLiteral("max-sessions"),
        QStringLiteral("Refuse logins while this many sessions are open (default %1).")
            .arg(SimConfig().maxSessions),
        QStringLiteral("N"));
    const QCommandLineOption loginRateOption(
        QStringLiteral("login-rate"),
        QStringLiteral("Log once a second how many login datagrams arrived in that second "
                       "(\"logins N/s\"; seconds without logins are not logged)."));
    const QCommandLineOption quietOption(
        QStringLiteral("quiet"),
        QStringLiteral("Log no datagrams and sessions, only the start and stop lines "
                       "(and the --login-rate lines)."));
    parser.addOptions({listenOption, usersOption, mediaLinksOption, scriptOption, statOption,
                       firstCallOption, answerStepOption, callIntervalOption, idleOption,
                       maxSessionsOption, loginRateOption, quietOption});

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        m_message = parser.helpText();
        return Outcome::Exit;
    }
    if (parser.isSet(versionOption)) {
        m_message = QCoreApplication::applicationName() + QLatin1Char(' ') +
                    QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return Outcome::Exit;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().constFirst()));

    if (parser.isSet(listenOption) &&
        !parseListen(parser.value(listenOption), &listenAddress, &listenPort))
        return fail(QStringLiteral("--listen wants ADDRESS:PORT, e.g. 127.0.0.1:%1, not \"%2\"")
                        .arg(defaultPort)
                        .arg(parser.value(listenOption)));

    const struct
    {
        const QCommandLineOption &option;
        int minimum;
        int *value;
    } numbers[] = {
        {statOption, 1, &config.timings.statIntervalMs},
        {firstCallOption, 0, &config.timings.firstCallMs},
        {answerStepOption, 1, &config.timings.answerStepMs},
        {callIntervalOption, 0, &config.timings.callIntervalMs},
        {idleOption, 0, &config.idleTimeoutMs},
    };
    if (parser.isSet(maxSessionsOption) &&
        !parseNumber(parser.value(maxSessionsOption), 1, &config.maxSessions))
        return fail(QStringLiteral("--max-sessions wants a whole number, at least 1"));
    for (const auto &number : numbers) {
        if (parser.isSet(number.option) &&
            !parseNumber(parser.value(number.option), number.minimum, number.value))
            return fail(QStringLiteral("--%1 wants a whole number of milliseconds, at least %2")
                            .arg(number.option.names().constFirst())
                            .arg(number.minimum));
    }

    QString error;
    builtInAccount = !parser.isSet(usersOption);
    usersFile = parser.value(usersOption);
    if (builtInAccount)
        config.accounts = Accounts::demo();
    else if (!config.accounts.load(usersFile, &error))
        return fail(error);

    config.mediaLinks = MediaLinks::builtIn();
    if (parser.isSet(mediaLinksOption) &&
        !MediaLinks::load(parser.value(mediaLinksOption), &config.mediaLinks, &error))
        return fail(error);

    config.useScript = parser.isSet(scriptOption);
    if (config.useScript && !config.script.load(parser.value(scriptOption), &error))
        return fail(error);

    config.logLoginRate = parser.isSet(loginRateOption);
    quiet = parser.isSet(quietOption);
    return Outcome::Run;
}

SimOptions::Outcome SimOptions::fail(const QString &message)
{
    m_exitCode = 2;
    m_message =
        QCoreApplication::applicationName() + QStringLiteral(": ") + message + QLatin1Char('\n');
    return Outcome::Exit;
}

} // namespace Brellow
