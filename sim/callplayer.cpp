#include <sim/callplayer.h>

#include <net/messages.h>

#include <cmath>

namespace Brellow {

namespace {
constexpr int teamSize = 12;
constexpr int bestScore = 5;
} // namespace

CallPlayer::CallPlayer(const SimTimings &timings, QObject *parent)
    : CallPlayer(timings, QRandomGenerator::system()->generate(), parent)
{
}

CallPlayer::CallPlayer(const SimTimings &timings, quint32 seed, QObject *parent)
    : Feed(parent), m_timings(timings), m_random(seed)
{
    m_statTimer.setInterval(m_timings.statIntervalMs);
    m_callTimer.setSingleShot(true);
    connect(&m_statTimer, &QTimer::timeout, this, &CallPlayer::onStatTimerFire);
    connect(&m_callTimer, &QTimer::timeout, this, &CallPlayer::onCallTimerFire);

    // A plausible agent part-way through a shift.
    m_userSurveys = m_random.bounded(5, 41);
    m_averageScore = 0.6 + m_random.bounded(0.35);
    m_teamPosition = m_random.bounded(1, teamSize + 1);
    m_teamSurveys = m_userSurveys * 6 + m_random.bounded(0, 120);
}

void CallPlayer::start()
{
    m_statTimer.start();
    m_phase = Phase::Waiting;
    m_callTimer.start(m_timings.firstCallMs);
    // Fill the client's panel at once rather than after a whole interval.
    sendStat();
}

void CallPlayer::stop()
{
    m_statTimer.stop();
    m_callTimer.stop();
}

void CallPlayer::onStatTimerFire()
{
    // The rest of the team keeps working, and the agent's place in it drifts.
    m_teamSurveys += m_random.bounded(0, 3);
    if (m_random.bounded(4) == 0) {
        const int step = m_random.bounded(2) == 0 ? -1 : 1;
        m_teamPosition = qBound(1, m_teamPosition + step, teamSize);
    }
    sendStat();
}

void CallPlayer::onCallTimerFire()
{
    if (m_phase == Phase::Waiting)
        startCall();
    else if (m_answers.size() < m_answersDue)
        answerQuestion();
    else
        finishCall();
}

void CallPlayer::startCall()
{
    // 07700 900xxx numbers are reserved for drama, so they belong to nobody.
    m_cli = QStringLiteral("07700 900%1").arg(m_random.bounded(1000), 3, 10, QLatin1Char('0'));
    // Most callers finish the survey; the others hang up part-way.
    m_answersDue =
        m_random.bounded(10) < 7 ? surveyQuestions : m_random.bounded(1, surveyQuestions);
    // The client must cope with both forms, so calls alternate at random.
    m_answersAsText = m_random.bounded(2) == 0;
    m_answers = QJsonArray();
    m_phase = Phase::Running;
    // Timers are set before emitting: a receiver of message() may stop this player.
    m_callTimer.start(m_timings.answerStepMs);
    sendLive(true);
}

void CallPlayer::answerQuestion()
{
    const int answer = randomAnswer();
    if (m_answersAsText)
        m_answers.append(QString::number(answer));
    else
        m_answers.append(answer);
    m_callTimer.start(m_timings.answerStepMs);
    sendLive(false);
}

void CallPlayer::finishCall()
{
    const bool completed = m_answers.size() == surveyQuestions;
    double sum = 0;
    for (const QJsonValue &answer : std::as_const(m_answers))
        sum += answer.isString() ? answer.toString().toDouble() : answer.toDouble();
    const double score = m_answers.isEmpty() ? 0 : std::round(sum / m_answers.size() * 10) / 10;

    QJsonObject outcome;
    outcome.insert(Messages::CallCompleted, completed);
    if (m_answersAsText)
        outcome.insert(Messages::CallScore, QString::number(score, 'f', 1));
    else
        outcome.insert(Messages::CallScore, score);
    m_phase = Phase::Waiting;
    m_callTimer.start(m_timings.callIntervalMs);
    sendLive(false, outcome);

    if (completed) {
        m_averageScore = (m_averageScore * m_userSurveys + score / bestScore) / (m_userSurveys + 1);
        ++m_userSurveys;
        ++m_teamSurveys;
        // The figures changed: show them now, not at the next tick.
        sendStat();
    }
}

void CallPlayer::sendStat()
{
    QJsonObject data;
    data.insert(Messages::UserSurveys, m_userSurveys);
    // Two decimals, as a real server's percentage would be.
    data.insert(Messages::AverageScore, std::round(m_averageScore * 100) / 100);
    data.insert(Messages::TeamPosition, m_teamPosition);
    data.insert(Messages::TeamSurveys, m_teamSurveys);
    emit message(
        QJsonObject{{Messages::Cmd, QString(Messages::UpdateStat)}, {Messages::Data, data}});
}

void CallPlayer::sendLive(bool started, const QJsonObject &outcome)
{
    QJsonObject data = outcome;
    data.insert(Messages::CallStarted, started);
    data.insert(Messages::CallCli, m_cli);
    data.insert(Messages::CallQuestion, m_answers.size());
    data.insert(Messages::CallAnswers, m_answers);
    emit message(
        QJsonObject{{Messages::Cmd, QString(Messages::UpdateLive)}, {Messages::Data, data}});
}

int CallPlayer::randomAnswer()
{
    // Satisfied callers are the common case.
    static const int weights[bestScore] = {5, 10, 20, 35, 30};
    int pick = m_random.bounded(100);
    for (int value = 1; value <= bestScore; ++value) {
        pick -= weights[value - 1];
        if (pick < 0)
            return value;
    }
    return bestScore;
}

} // namespace Brellow
