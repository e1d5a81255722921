#pragma once

#include <net/messages.h>

#include <sim/simconfig.h>

#include <QHostAddress>
#include <QStringList>

namespace Brellow {

// The command line of brellow-sim, with the files it names loaded.
class SimOptions
{
public:
    enum class Outcome
    {
        Run,
        Exit
    };
    static constexpr quint16 defaultPort = Messages::ServerPort;

    // Run: the fields below are set. Exit: print message() (to stderr when exitCode() is
    // not 0) and exit with exitCode(): 0 for --help and --version, 2 for a bad command line
    // or a bad file.
    Outcome parse(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }
    QString message() const { return m_message; }

    // "ADDRESS:PORT", IPv6 addresses in brackets.
    static bool parseListen(const QString &text, QHostAddress *address, quint16 *port);

    QHostAddress listenAddress{QHostAddress::LocalHost};
    quint16 listenPort = defaultPort;
    bool quiet = false;
    bool builtInAccount = true; // no accounts file: the demo account is active
    QString usersFile;
    SimConfig config;

private:
    Outcome fail(const QString &message);

    int m_exitCode = 0;
    QString m_message;
};

} // namespace Brellow
