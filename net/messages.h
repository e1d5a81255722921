#pragma once

#include <QCryptographicHash>
#include <QLatin1StringView>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace Brellow {

// The datagram protocol's words: one JSON object per datagram, named by "cmd".
namespace Messages {

// Client to server.
inline constexpr QLatin1StringView Login{"login"};
inline constexpr QLatin1StringView Logout{"logout"};
inline constexpr QLatin1StringView Ping{"ping"};
inline constexpr QLatin1StringView NoTransfer{"notransfer"};
inline constexpr QLatin1StringView Test{"test"};

// Server to client.
inline constexpr QLatin1StringView LoginAck{"login_ack"};
inline constexpr QLatin1StringView LogoutAck{"logout_ack"};
inline constexpr QLatin1StringView ShutdownAck{"shutdown_ack"};
inline constexpr QLatin1StringView PingAck{"ping_ack"};
inline constexpr QLatin1StringView TestAck{"test_ack"};
inline constexpr QLatin1StringView UpdateStat{"update_stat"};
inline constexpr QLatin1StringView UpdateLive{"update_live"};
inline constexpr QLatin1StringView NoTransferAck{"notransfer_ack"};

// Members.
inline constexpr QLatin1StringView Cmd{"cmd"};
inline constexpr QLatin1StringView SessionId{"session_id"};
inline constexpr QLatin1StringView Username{"username"};
inline constexpr QLatin1StringView Password{"password"};
inline constexpr QLatin1StringView Text{"text"};
inline constexpr QLatin1StringView Data{"data"};
inline constexpr QLatin1StringView MediaLinks{"media_links"};

// Members of the "data" of "update_stat".
inline constexpr QLatin1StringView UserSurveys{"user_surveys"};
inline constexpr QLatin1StringView AverageScore{"average_score"};
inline constexpr QLatin1StringView TeamPosition{"team_position"};
inline constexpr QLatin1StringView TeamSurveys{"team_surveys"};

// Members of the "data" of "update_live".
inline constexpr QLatin1StringView CallStarted{"call_started"};
inline constexpr QLatin1StringView CallCli{"call_cli"};
inline constexpr QLatin1StringView CallQuestion{"call_question"};
inline constexpr QLatin1StringView CallAnswers{"call_answers"};
inline constexpr QLatin1StringView CallCompleted{"call_completed"};
inline constexpr QLatin1StringView CallScore{"call_score"};

// The server's port.
inline constexpr quint16 ServerPort = 49999;

// The wire form of a login password: MD5 over the Latin-1 bytes, lower-case hex.
inline QString passwordDigest(const QString &password)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(password.toLatin1(), QCryptographicHash::Md5).toHex());
}

// A member read as a list: only a JSON array is one. QVariant would otherwise
// turn a text into the list of its characters.
inline QVariantList toList(const QVariant &value)
{
    const int type = value.typeId();
    if (type != QMetaType::QVariantList && type != QMetaType::QStringList)
        return {};
    return value.toList();
}

} // namespace Messages

} // namespace Brellow
