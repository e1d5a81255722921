#include <sim/medialinks.h>

#include <QFile>
#include <QJsonDocument>

namespace Brellow {

QJsonArray MediaLinks::builtIn()
{
    // One text carries an apostrophe: the client puts these texts into its page by script
    // and has to cope with quotes.
    const char *const pairs[][2] = {
        {"billing", "Billing query"},           {"complaint", "Complaint"},
        {"upgrade", "Upgrade or new contract"}, {"cancel", "Cancellation"},
        {"callback", "Customer's request"},     {"other", "Other"},
    };
    QJsonArray links;
    for (const auto &pair : pairs)
        links.append(QJsonArray{QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1])});
    return links;
}

bool MediaLinks::parse(const QByteArray &json, const QString &sourceName, QJsonArray *links,
                       QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1: invalid JSON at offset %2: %3")
                     .arg(sourceName)
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return false;
    }
    if (!doc.isArray()) {
        *error = sourceName + QStringLiteral(": expected a JSON array of [value, text] pairs");
        return false;
    }
    const QJsonArray array = doc.array();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonArray pair = array.at(i).toArray();
        if (!array.at(i).isArray() || pair.size() != 2 || !pair.at(0).isString() ||
            !pair.at(1).isString()) {
            *error = QStringLiteral("%1: entry %2 is not a [value, text] pair of strings")
                         .arg(sourceName)
                         .arg(i + 1);
            return false;
        }
    }
    *links = array;
    return true;
}

bool MediaLinks::load(const QString &path, QJsonArray *links, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return parse(file.readAll(), path, links, error);
}

} // namespace Brellow
