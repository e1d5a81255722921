#include <sim/accounts.h>

#include <net/messages.h>

#include <QFile>
#include <QRegularExpression>

namespace Brellow {

Accounts Accounts::demo()
{
    Accounts accounts;
    accounts.add(demoUser(), digest(demoPassword()));
    return accounts;
}

QString Accounts::digest(const QString &password)
{
    return Messages::passwordDigest(password);
}

void Accounts::add(const QString &user, const QString &digestHex)
{
    m_digests.insert(user, digestHex.toLower());
}

bool Accounts::check(const QString &user, const QString &digestHex) const
{
    // The wire format is lower-case hex, so anything else is simply a wrong password.
    const auto it = m_digests.constFind(user);
    return it != m_digests.constEnd() && *it == digestHex;
}

bool Accounts::parse(const QByteArray &text, const QString &sourceName, QString *error)
{
    static const QRegularExpression hexDigest(QStringLiteral("^[0-9A-Fa-f]{32}$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QList<QByteArray> lines = text.split('\n');
    Accounts parsed;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("%1:%2: ").arg(sourceName).arg(i + 1);
        const QStringList fields = line.split(blanks);
        if (fields.size() != 2) {
            *error = where + QStringLiteral("expected \"USER MD5HEX\"");
            return false;
        }
        if (!hexDigest.match(fields.at(1)).hasMatch()) {
            *error = where + QStringLiteral("the password digest must be 32 hex digits");
            return false;
        }
        if (parsed.m_digests.contains(fields.at(0))) {
            *error = where + QStringLiteral("user \"%1\" is listed twice").arg(fields.at(0));
            return false;
        }
        parsed.add(fields.at(0), fields.at(1));
    }
    if (parsed.m_digests.isEmpty()) {
        // Nobody could log in; almost certainly the wrong file.
        *error = sourceName + QStringLiteral(": no accounts");
        return false;
    }
    *this = parsed;
    return true;
}

bool Accounts::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(file.readAll(), path, error);
}

} // namespace Brellow
