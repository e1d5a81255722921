#include <app/serveraddress.h>

#include <QRegularExpression>
#include <QStringList>

#ifndef BRELLOW_SERVER_ADDRESS
#define BRELLOW_SERVER_ADDRESS "127.0.0.1"
#endif

namespace Brellow {

namespace {

// Four decimal parts of 0 to 255, without leading zeros: some resolvers read
// "010" as octal, so such a form would not mean what it seems to.
bool isDottedIPv4(const QString &host)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}"
                       "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])")));
    return pattern.match(host).hasMatch();
}

// A DNS host name: dot-separated labels of letters, digits and inner hyphens.
// The last label must not be all digits, or the name could be read as an address.
bool isHostName(const QString &host)
{
    static const QRegularExpression label(QRegularExpression::anchoredPattern(
        QStringLiteral("[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?")));
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]+")));
    if (host.size() > 253)
        return false;
    const QStringList labels = host.split(QLatin1Char('.'));
    for (const QString &part : labels) {
        if (!label.match(part).hasMatch())
            return false;
    }
    return !digits.match(labels.last()).hasMatch();
}

// lupdate reads the context from each QT_TRANSLATE_NOOP; this is the same one.
constexpr char Context[] = "Brellow::ServerAddress";

LocalizedText text(const char *source, QList<LocalizedText> arguments = {})
{
    return LocalizedText(Context, source, std::move(arguments));
}

} // namespace

QString ServerAddress::builtInDefault()
{
    return QStringLiteral(BRELLOW_SERVER_ADDRESS);
}

ServerAddress ServerAddress::parse(const QString &value, const QString &source,
                                   LocalizedText *error)
{
    const auto fail = [error](const LocalizedText &reason) {
        if (error)
            *error = reason;
        return ServerAddress();
    };
    if (value.isEmpty())
        return fail(text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the value is empty")));

    QString host = value;
    std::optional<QString> portText;
    QHostAddress address;
    if (value.startsWith(QLatin1Char('['))) {
        const qsizetype close = value.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(
                text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the closing ']' is missing")));
        host = value.mid(1, close - 1);
        const QString rest = value.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return fail(text(
                    QT_TRANSLATE_NOOP("Brellow::ServerAddress", "only \":PORT\" may follow ']'")));
            portText = rest.mid(1);
        }
        if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv6Protocol)
            return fail(
                text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "\"%1\" is not an IPv6 address"),
                     {LocalizedText::value(host)}));
    } else {
        const qsizetype colons = value.count(QLatin1Char(':'));
        if (colons > 1)
            return fail(text(QT_TRANSLATE_NOOP("Brellow::ServerAddress",
                                               "an IPv6 address must be written in brackets, "
                                               "as in [::1]:%1"),
                             {LocalizedText::value(QString::number(Messages::ServerPort))}));
        if (colons == 1) {
            host = value.section(QLatin1Char(':'), 0, 0);
            portText = value.section(QLatin1Char(':'), 1);
        }
        if (host.isEmpty())
            return fail(text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the host is missing")));
        if (isDottedIPv4(host))
            address.setAddress(host);
        else if (!isHostName(host))
            return fail(text(QT_TRANSLATE_NOOP("Brellow::ServerAddress",
                                               "\"%1\" is neither a host name nor an IPv4 address"),
                             {LocalizedText::value(host)}));
    }

    quint16 port = Messages::ServerPort;
    if (portText) {
        static const QRegularExpression digits(
            QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,5}")));
        const uint number = portText->toUInt();
        if (portText->isEmpty())
            return fail(
                text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the port is missing after ':'")));
        if (!digits.match(*portText).hasMatch() || number < 1 || number > 65535)
            return fail(text(QT_TRANSLATE_NOOP("Brellow::ServerAddress",
                                               "the port must be a number from 1 to 65535")));
        port = static_cast<quint16>(number);
    }

    ServerAddress result;
    result.m_host = host;
    result.m_port = port;
    result.m_source = source;
    result.m_address = address;
    return result;
}

ServerAddress ServerAddress::configured(const std::optional<QString> &commandLine,
                                        const SiteSettings &site, LocalizedText *error)
{
    QString value;
    LocalizedText source;
    if (commandLine) {
        value = *commandLine;
        source = text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the command line (--server)"));
    } else if (!qEnvironmentVariableIsEmpty(EnvironmentVariable)) {
        // An empty variable counts as unset, as in "BRELLOW_SERVER= brellow".
        value = qEnvironmentVariable(EnvironmentVariable);
        source = text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the environment (%1)"),
                      {LocalizedText::value(QLatin1String(EnvironmentVariable))});
    } else if (site.contains(Setting::Server)) {
        const QVariant setting = site.value(Setting::Server);
        // An unquoted comma makes the INI reader return a list: show it as written.
        value = setting.typeId() == QMetaType::QStringList
                    ? setting.toStringList().join(QLatin1Char(','))
                    : setting.toString();
        source = LocalizedText::value(site.fileHolding(Setting::Server));
    } else {
        value = builtInDefault();
        source = text(QT_TRANSLATE_NOOP("Brellow::ServerAddress", "the built-in default"));
    }

    LocalizedText reason;
    const ServerAddress result = parse(value, source.english(), &reason);
    if (!result.isValid() && error)
        //: %2 is where the setting came from: the command line, the environment,
        //: a file's path or the built-in default; %3 is why the value is wrong.
        *error = text(QT_TRANSLATE_NOOP("Brellow::ServerAddress",
                                        "The statistics server \"%1\" from %2 is not valid: %3."),
                      {LocalizedText::value(value), source, reason});
    return result;
}

QString ServerAddress::toString() const
{
    const QString host = m_address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(m_host)
                             : m_host;
    return QStringLiteral("%1:%2").arg(host).arg(m_port);
}

} // namespace Brellow
