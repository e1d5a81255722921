#pragma once

#include <app/localizedtext.h>
#include <app/sitesettings.h>
#include <net/messages.h>

#include <QHostAddress>
#include <QString>

#include <optional>

namespace Brellow {

// Where the statistics server is: a host (a name or an address) and a UDP port,
// with a note of where that setting came from for the log and for error boxes.
class ServerAddress
{
public:
    static constexpr char EnvironmentVariable[] = "BRELLOW_SERVER";

    ServerAddress() = default;

    // Reads "HOST[:PORT]". HOST is a host name, a dotted IPv4 address or an IPv6
    // address in brackets ("[::1]:49999"); PORT defaults to Messages::ServerPort.
    // Returns an invalid address and a short reason in *error when the text is not one.
    static ServerAddress parse(const QString &text, const QString &source,
                               LocalizedText *error = nullptr);

    // The first setting found, in this order: the command line's --server (given
    // as commandLine), $BRELLOW_SERVER, the site's "server" key, the built-in
    // default. A bad value is not skipped: it is an error, described in *error
    // with the value and where it came from, for the log and for the agent's box.
    static ServerAddress configured(const std::optional<QString> &commandLine,
                                    const SiteSettings &site, LocalizedText *error = nullptr);

    // The address built in at compile time ("127.0.0.1" unless the build says otherwise).
    static QString builtInDefault();

    bool isValid() const { return !m_host.isEmpty(); }
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    // Where the setting came from, in English for the log.
    QString source() const { return m_source; }
    // Set when the host is an address; null when it is a name to look up.
    QHostAddress address() const { return m_address; }
    // "host:port", with an IPv6 address in brackets.
    QString toString() const;

private:
    QString m_host;
    quint16 m_port = 0;
    QString m_source;
    QHostAddress m_address;
};

} // namespace Brellow
