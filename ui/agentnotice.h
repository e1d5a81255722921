#pragma once

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

namespace Brellow {

// Something that happened in the window which an agent who is looking elsewhere
// (another application, a screen reader, the window hidden to the tray) should
// hear of.
class AgentNotice
{
    Q_DECLARE_TR_FUNCTIONS(Brellow::AgentNotice)

public:
    enum class Kind
    {
        CallStarted,
        CallCompleted,
        CallNotCompleted,
        ConnectionLost,
        ConnectionBack,
        // The server ended the session and Brellow logs in again by itself.
        SessionEndedResuming,
        SessionResumed,
        // The server ended the session for good: the agent must log in again.
        SessionEnded
    };

    AgentNotice() = default;
    // `detail` is the call's score for an outcome, and unused otherwise.
    explicit AgentNotice(Kind kind, const QString &detail = {}) : m_kind(kind), m_detail(detail) {}

    Kind kind() const { return m_kind; }
    QString detail() const { return m_detail; }

    // A short headline: "Connection to the server lost".
    QString summary() const;
    // What it means for the agent; may be empty.
    QString body() const;
    // Summary and body as one sentence or two, for a screen reader.
    QString spoken() const;
    // About the link to the server rather than the current call: worth a
    // desktop notification while the window is hidden.
    bool concernsConnection() const;

    bool operator==(const AgentNotice &other) const
    {
        return m_kind == other.m_kind && m_detail == other.m_detail;
    }
    bool operator!=(const AgentNotice &other) const { return !(*this == other); }

private:
    Kind m_kind = Kind::CallStarted;
    QString m_detail;
};

} // namespace Brellow

Q_DECLARE_METATYPE(Brellow::AgentNotice)
