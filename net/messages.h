#pragma once

#include <QLatin1StringView>
#include <QVariant>
#include <QVariantList>

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
