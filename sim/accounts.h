#pragma once

#include <QHash>
#include <QString>

namespace Brellow {

// The user names and password digests the server accepts at login.
// The client sends the password as 32 lower-case hex digits of MD5 over its Latin-1 bytes,
// so only digests are ever stored or compared.
class Accounts
{
public:
    // The built-in account used when no accounts file is given.
    static Accounts demo();
    static QString demoUser() { return QStringLiteral("demo"); }
    static QString demoPassword() { return QStringLiteral("demo"); }

    // Lines of "USER MD5HEX"; blank lines and lines starting with '#' are skipped.
    // On failure returns false and sets *error to a message naming the line.
    bool parse(const QByteArray &text, const QString &sourceName, QString *error);
    bool load(const QString &path, QString *error);

    // The digest the client sends for this password.
    static QString digest(const QString &password);

    void add(const QString &user, const QString &digestHex);
    bool check(const QString &user, const QString &digestHex) const;
    int size() const { return m_digests.size(); }

private:
    QHash<QString, QString> m_digests; // user -> lower-case hex digest
};

} // namespace Brellow
