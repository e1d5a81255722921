#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <cstdio>

namespace Brellow {

// The server's log: one line per event, flushed at once so that a reader of a pipe sees it.
//
//   <local time, yyyy-MM-ddThh:mm:ss.zzz> <kind> <rest>
//
// Kinds: "in <peer> <datagram as received>" (control characters escaped as \n, \r, \t or
// \xNN so that a line stays a line), "out <peer> <compact JSON>", "ignored <peer> <reason>",
// "failed <peer> <reason>", "session <peer> <id or -> <opened|closed|refused> <detail>", and the
// notes "listening", "account", "accounts", "logins" (see LoginRate) and "stopped". A peer is
// written ADDRESS:PORT ([ADDRESS]:PORT for IPv6). Quiet mode drops everything but the notes.
class SimLog
{
public:
    explicit SimLog(std::FILE *out = stdout) : m_out(out) {}

    void setQuiet(bool quiet) { m_quiet = quiet; }
    bool isQuiet() const { return m_quiet; }

    void datagramIn(const QHostAddress &address, quint16 port, const QByteArray &datagram);
    void datagramOut(const QHostAddress &address, quint16 port, const QByteArray &json);
    void ignored(const QHostAddress &address, quint16 port, const QString &reason);
    void failed(const QHostAddress &address, quint16 port, const QString &reason);
    void session(const QHostAddress &address, quint16 port, const QString &id, const QString &what);
    // A note that is written even in quiet mode.
    void note(const QString &kind, const QString &text);

    static QString peerText(const QHostAddress &address, quint16 port);
    static QByteArray escapeControls(const QByteArray &bytes);

private:
    void write(const char *kind, const QByteArray &rest, bool always);
    QByteArray timestamp();

    std::FILE *m_out;
    bool m_quiet = false;
    qint64 m_second = 0;
    QByteArray m_secondText;
};

} // namespace Brellow
