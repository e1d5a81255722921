#include <ui/agentnotice.h>

namespace Brellow {

QString AgentNotice::summary() const
{
    switch (m_kind) {
    case Kind::CallStarted:
        return QStringLiteral("Call started");
    case Kind::CallCompleted:
        return m_detail.isEmpty() ? QStringLiteral("Call completed")
                                  : QStringLiteral("Call completed, score %1").arg(m_detail);
    case Kind::CallNotCompleted:
        return m_detail.isEmpty() ? QStringLiteral("Call not completed")
                                  : QStringLiteral("Call not completed, score %1").arg(m_detail);
    case Kind::ConnectionLost:
        return QStringLiteral("Connection to the server lost");
    case Kind::ConnectionBack:
        return QStringLiteral("Connection to the server is back");
    case Kind::SessionEndedResuming:
    case Kind::SessionEnded:
        return QStringLiteral("The server ended your session");
    case Kind::SessionResumed:
        return QStringLiteral("Logged in again");
    }
    return {};
}

QString AgentNotice::body() const
{
    switch (m_kind) {
    case Kind::CallStarted:
    case Kind::CallCompleted:
    case Kind::CallNotCompleted:
        return {};
    case Kind::ConnectionLost:
        return QStringLiteral("Your figures are greyed until the server answers again.");
    case Kind::ConnectionBack:
        return QStringLiteral("Your figures are kept up to date again.");
    case Kind::SessionEndedResuming:
        return QStringLiteral("Brellow is logging you in again; there is nothing to type.");
    case Kind::SessionResumed:
        return QStringLiteral("The server has taken your session back.");
    case Kind::SessionEnded:
        return QStringLiteral("Please log in again.");
    }
    return {};
}

QString AgentNotice::spoken() const
{
    const QString more = body();
    return more.isEmpty() ? summary() : summary() + QStringLiteral(". ") + more;
}

bool AgentNotice::concernsConnection() const
{
    switch (m_kind) {
    case Kind::CallStarted:
    case Kind::CallCompleted:
    case Kind::CallNotCompleted:
        return false;
    case Kind::ConnectionLost:
    case Kind::ConnectionBack:
    case Kind::SessionEndedResuming:
    case Kind::SessionResumed:
    case Kind::SessionEnded:
        return true;
    }
    return false;
}

} // namespace Brellow
