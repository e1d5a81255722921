#include <ui/agentnotice.h>

namespace Brellow {

QString AgentNotice::summary() const
{
    switch (m_kind) {
    case Kind::CallStarted:
        //: Screen reader and desktop notification: a caller is on the line.
        return tr("Call started");
    case Kind::CallCompleted:
        if (m_detail.isEmpty())
            //: The call ended as completed (the page's tick).
            return tr("Call completed");
        //: The call ended as completed (the page's tick); %1 is its score as the server sends it.
        return tr("Call completed, score %1").arg(m_detail);
    case Kind::CallNotCompleted:
        if (m_detail.isEmpty())
            //: The call ended as not completed (the page's cross).
            return tr("Call not completed");
        //: The call ended as not completed (the page's cross); %1 is its score, as sent.
        return tr("Call not completed, score %1").arg(m_detail);
    case Kind::ConnectionLost:
        return tr("Connection to the server lost");
    case Kind::ConnectionBack:
        return tr("Connection to the server is back");
    case Kind::SessionEndedResuming:
    case Kind::SessionEnded:
        return tr("The server ended your session");
    case Kind::SessionResumed:
        //: Brellow has logged the agent in again by itself.
        return tr("Logged in again");
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
        return tr("Your figures are greyed until the server answers again.");
    case Kind::ConnectionBack:
        return tr("Your figures are kept up to date again.");
    case Kind::SessionEndedResuming:
        return tr("Brellow is logging you in again; there is nothing to type.");
    case Kind::SessionResumed:
        return tr("The server has taken your session back.");
    case Kind::SessionEnded:
        return tr("Please log in again.");
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
