#include <sim/script.h>

#include <QFile>
#include <QJsonDocument>

#include <cmath>
#include <limits>

namespace Brellow {

bool Script::parse(const QByteArray &text, const QString &sourceName, QString *error)
{
    const QList<QByteArray> lines = text.split('\n');
    QList<Entry> parsed;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString where = QStringLiteral("%1:%2: ").arg(sourceName).arg(i + 1);
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            *error = where + QStringLiteral("invalid JSON: ") + parseError.errorString();
            return false;
        }
        if (!doc.isObject()) {
            *error = where + QStringLiteral("expected {\"delay_ms\": N, \"msg\": {...}}");
            return false;
        }
        const QJsonObject object = doc.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            // Catches typos such as "delay" that would otherwise silently mean 0 ms.
            if (it.key() != QLatin1String("delay_ms") && it.key() != QLatin1String("msg")) {
                *error = where + QStringLiteral("unknown member \"%1\"").arg(it.key());
                return false;
            }
        }
        const QJsonValue delay = object.value(QLatin1String("delay_ms"));
        const double delayMs = delay.toDouble(-1);
        if (!delay.isDouble() || delayMs < 0 || delayMs > std::numeric_limits<int>::max() ||
            delayMs != std::floor(delayMs)) {
            *error = where + QStringLiteral("\"delay_ms\" must be a non-negative whole number");
            return false;
        }
        const QJsonValue msg = object.value(QLatin1String("msg"));
        if (!msg.isObject()) {
            *error = where + QStringLiteral("\"msg\" must be a JSON object");
            return false;
        }
        parsed.append(Entry{static_cast<int>(delayMs), msg.toObject()});
    }
    m_entries = parsed;
    return true;
}

bool Script::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(file.readAll(), path, error);
}

} // namespace Brellow
