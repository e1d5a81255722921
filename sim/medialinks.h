#pragma once

#include <QJsonArray>
#include <QString>

namespace Brellow {

// The call reasons sent in "login_ack" as "media_links": an array of [value, text] pairs.
class MediaLinks
{
public:
    static QJsonArray builtIn();

    // Parses a JSON array of two-string arrays. On failure returns false and sets *error.
    static bool parse(const QByteArray &json, const QString &sourceName, QJsonArray *links,
                      QString *error);
    static bool load(const QString &path, QJsonArray *links, QString *error);
};

} // namespace Brellow
