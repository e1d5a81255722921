#include <sim/simlog.h>

#include <QDateTime>

namespace Brellow {

void SimLog::datagramIn(const QHostAddress &address, quint16 port, const QByteArray &datagram)
{
    write("in", peerText(address, port).toUtf8() + ' ' + datagram, false);
}

void SimLog::datagramOut(const QHostAddress &address, quint16 port, const QByteArray &json)
{
    write("out", peerText(address, port).toUtf8() + ' ' + json, false);
}

void SimLog::ignored(const QHostAddress &address, quint16 port, const QString &reason)
{
    write("ignored", (peerText(address, port) + QLatin1Char(' ') + reason).toUtf8(), false);
}

void SimLog::failed(const QHostAddress &address, quint16 port, const QString &reason)
{
    write("failed", (peerText(address, port) + QLatin1Char(' ') + reason).toUtf8(), false);
}

void SimLog::session(const QHostAddress &address, quint16 port, const QString &id,
                     const QString &what)
{
    write("session",
          (peerText(address, port) + QLatin1Char(' ') + id + QLatin1Char(' ') + what).toUtf8(),
          false);
}

void SimLog::note(const QString &kind, const QString &text)
{
    write(kind.toUtf8().constData(), text.toUtf8(), true);
}

QString SimLog::peerText(const QHostAddress &address, quint16 port)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QStringLiteral("%1:%2").arg(QHostAddress(v4).toString()).arg(port);
    return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
}

QByteArray SimLog::escapeControls(const QByteArray &bytes)
{
    // Valid JSON has control characters only as blanks between tokens, and never a
    // backslash there, so \n, \r and \t outside strings cannot be mistaken for real text.
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (u < 0x20 || u == 0x7f)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

QByteArray SimLog::timestamp()
{
    // Formatting the local time is the dearest part of a line; under a flood of
    // datagrams the same second comes round thousands of times.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != m_second || m_secondText.isEmpty()) {
        m_second = second;
        m_secondText = QDateTime::fromMSecsSinceEpoch(second * 1000)
                           .toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"))
                           .toUtf8();
    }
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03d", int(now % 1000));
    return m_secondText + millis;
}

void SimLog::write(const char *kind, const QByteArray &rest, bool always)
{
    if (m_quiet && !always)
        return;
    // Also user names and reasons may carry control characters.
    const QByteArray line = timestamp() + ' ' + kind + ' ' + escapeControls(rest) + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_out);
    std::fflush(m_out);
}

} // namespace Brellow
