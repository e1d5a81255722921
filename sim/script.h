#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

namespace Brellow {

// A scripted sequence of datagrams replayed to each client after it logs in.
// One JSON object per line: {"delay_ms": N, "msg": {...}}, the delay counted from the
// previous entry (the first from the login). Blank lines and lines starting with '#' are
// skipped. "msg" may be any JSON object, so a script can also send malformed protocol.
class Script
{
public:
    struct Entry
    {
        int delayMs = 0;
        QJsonObject msg;
    };

    // On failure returns false and sets *error to a message naming the line.
    bool parse(const QByteArray &text, const QString &sourceName, QString *error);
    bool load(const QString &path, QString *error);

    const QList<Entry> &entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};

} // namespace Brellow
