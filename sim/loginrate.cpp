#include <sim/loginrate.h>

#include <sim/simlog.h>

#include <QDateTime>

namespace Brellow {

LoginRate::LoginRate(SimLog *log, QObject *parent) : QObject(parent), m_log(log)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire well into the next second.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LoginRate::flush);
}

void LoginRate::count()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = now / 1000;
    if (second != m_second) {
        // The timer of the last second may not have fired yet under load.
        flush();
        m_second = second;
    }
    ++m_count;
    // Also after a timer that fired a little early, before the second was over.
    if (!m_timer.isActive())
        m_timer.start(qMax(1, int((m_second + 1) * 1000 - now)));
}

void LoginRate::flush()
{
    m_timer.stop();
    if (m_count == 0)
        return;
    m_log->note(QStringLiteral("logins"), QStringLiteral("%1/s").arg(m_count));
    m_count = 0;
}

} // namespace Brellow
