#include <sim/scriptplayer.h>

namespace Brellow {

ScriptPlayer::ScriptPlayer(const Script &script, QObject *parent)
    : Feed(parent), m_entries(script.entries())
{
    m_timer.setSingleShot(true);
    // Scripts are used to test timing; a coarse timer may fire up to 5 % early.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScriptPlayer::onTimerFire);
}

void ScriptPlayer::start()
{
    m_next = 0;
    scheduleNext();
}

void ScriptPlayer::stop()
{
    m_timer.stop();
    m_next = m_entries.size();
}

void ScriptPlayer::scheduleNext()
{
    if (m_next < m_entries.size())
        m_timer.start(m_entries.at(m_next).delayMs);
}

void ScriptPlayer::onTimerFire()
{
    if (m_next >= m_entries.size())
        return;
    const QJsonObject msg = m_entries.at(m_next++).msg;
    // Schedule before emitting: a receiver of message() may stop this player.
    scheduleNext();
    emit message(msg);
}

} // namespace Brellow
