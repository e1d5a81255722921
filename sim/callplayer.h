#pragma once

#include <sim/feed.h>
#include <sim/simconfig.h>

#include <QJsonArray>
#include <QRandomGenerator>
#include <QTimer>

namespace Brellow {

// Generates an agent's day: "update_stat" figures every few seconds and calls, each played
// as "update_live" messages: the start, the survey answers one by one, then the outcome.
class CallPlayer : public Feed
{
    Q_OBJECT
public:
    static constexpr int surveyQuestions = 5;

    explicit CallPlayer(const SimTimings &timings, QObject *parent = nullptr);
    // A fixed seed makes the figures and calls repeatable.
    CallPlayer(const SimTimings &timings, quint32 seed, QObject *parent = nullptr);

    void start() override;
    void stop() override;

private:
    enum class Phase
    {
        Waiting,
        Running
    };

    void onStatTimerFire();
    void onCallTimerFire();
    void startCall();
    void answerQuestion();
    void finishCall();
    void sendStat();
    void sendLive(bool started, const QJsonObject &outcome = {});
    int randomAnswer();

    SimTimings m_timings;
    QRandomGenerator m_random;
    QTimer m_statTimer;
    QTimer m_callTimer;

    // The agent's figures.
    int m_userSurveys = 0;
    double m_averageScore = 0; // fraction of the best score, 0..1
    int m_teamPosition = 1;
    int m_teamSurveys = 0;

    // The call being played.
    Phase m_phase = Phase::Waiting;
    QString m_cli;
    int m_answersDue = 0; // answers the caller gives before the call ends
    bool m_answersAsText = false;
    QJsonArray m_answers;
};

} // namespace Brellow
