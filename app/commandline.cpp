#include <app/commandline.h>

#include <app/serveraddress.h>
#include <app/settingstable.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdlib>

namespace Brellow {

CommandLine::CommandLine(const QStringList &arguments)
    : m_program(arguments.value(0)),
      m_serverOption(
          QStringLiteral("server"),
          QCoreApplication::translate("Brellow::CommandLine",
                                      "The statistics server, HOST[:PORT] (port %1 unless given; "
                                      "an IPv6 address in brackets, as in [::1]:%1). Otherwise "
                                      "$%2, then the key \"%3\" of /etc/xdg/Brellow/brellow.ini, "
                                      "then %4.")
              .arg(Messages::ServerPort)
              .arg(QLatin1String(ServerAddress::EnvironmentVariable),
                   SettingsTable::key(Setting::Server), ServerAddress::builtInDefault()),
          QStringLiteral("HOST[:PORT]"))
{
    m_parser.setApplicationDescription(QCoreApplication::translate(
        "Brellow::CommandLine", "Brellow: the agent's status display for the statistics server."));
    const QCommandLineOption help = m_parser.addHelpOption();
    const QCommandLineOption version = m_parser.addVersionOption();
    m_parser.addOption(m_serverOption);

    // parse() goes on past unknown options, so the known ones are still read.
    // A --server without a value is not ignored: it is reported as an empty value.
    m_parser.parse(arguments);
    for (const QString &name : m_parser.unknownOptionNames())
        m_ignored << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    m_ignored << m_parser.positionalArguments();

    if (m_parser.isSet(QStringLiteral("help-all")))
        m_action = Action::ShowHelpAll;
    else if (m_parser.isSet(help))
        m_action = Action::ShowHelp;
    else if (m_parser.isSet(version))
        m_action = Action::ShowVersion;
    if (m_parser.isSet(m_serverOption))
        m_server = m_parser.value(m_serverOption);
    else if (m_parser.errorText().contains(QLatin1String("'--server'")))
        m_server = QString();
}

CommandLine::Action CommandLine::earlyAction(const QStringList &arguments)
{
    static const QRegularExpression shortBundle(
        QRegularExpression::anchoredPattern(QStringLiteral("-[hv?]+")));
    // Help wins over the version, as in the full parse; help with Qt's options
    // over help.
    Action action = Action::Run;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--server"))
            ++i; // its value, whatever it looks like
        else if (argument == QLatin1String("--help-all"))
            return Action::ShowHelpAll;
        else if (argument == QLatin1String("--help") ||
                 (shortBundle.match(argument).hasMatch() &&
                  (argument.contains(QLatin1Char('h')) || argument.contains(QLatin1Char('?')))))
            action = Action::ShowHelp;
        else if ((argument == QLatin1String("--version") ||
                  shortBundle.match(argument).hasMatch()) &&
                 action == Action::Run)
            action = Action::ShowVersion;
    }
    return action;
}

QString CommandLine::output() const
{
    if (m_action == Action::ShowVersion)
        return QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                             QCoreApplication::applicationVersion());
    return m_parser.helpText();
}

void CommandLine::showHelpAll()
{
    // Qt's parser prints and leaves; only the option itself is handed to it, so
    // that an unknown argument cannot turn the help into an error.
    m_parser.process(QStringList{m_program, QStringLiteral("--help-all")});
    std::exit(EXIT_SUCCESS);
}

} // namespace Brellow
