#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace Brellow {

// Brellow's own command-line options. Qt's options (-platform and the like) are
// taken out by QApplication before this sees the arguments; anything else that
// Brellow does not know is ignored, so that old desktop launchers keep working.
class CommandLine
{
public:
    enum class Action
    {
        Run,
        ShowHelp,
        // Help with Qt's own options too.
        ShowHelpAll,
        ShowVersion
    };

    explicit CommandLine(const QStringList &arguments);

    // Whether the arguments ask for help or the version, read before Qt's
    // application object exists, since that needs a display. Only whole arguments
    // and bundles of -h, -? and -v count: Qt has not taken its own options out yet,
    // and a full parse would read -reverse or -stylesheet as bundles too.
    static Action earlyAction(const QStringList &arguments);

    Action action() const { return m_action; }
    // What --help or --version print.
    QString output() const;
    // Prints the help with Qt's options, which only Qt's own parser knows, and
    // leaves with exit code 0.
    [[noreturn]] void showHelpAll();
    // The value of --server, when given (the last one wins); empty when given without one.
    std::optional<QString> server() const { return m_server; }
    // Unknown options and stray arguments, as given.
    QStringList ignored() const { return m_ignored; }

private:
    QString m_program;
    QCommandLineParser m_parser;
    QCommandLineOption m_serverOption;
    Action m_action = Action::Run;
    std::optional<QString> m_server;
    QStringList m_ignored;
};

} // namespace Brellow
