#include <net/backoff.h>

#include <QtGlobal>

#include <cmath>

namespace Brellow {

Backoff::Backoff(quint32 seed) : m_random(seed)
{
}

int Backoff::nominalWaitMs() const
{
    if (m_attempts == 0)
        return 0;
    // Doubling from the first wait; the shift stays small long before the cap.
    const int doublings = qMin(m_attempts - 1, 16);
    return int(qMin<qint64>(qint64(FirstWaitMs) << doublings, MaxWaitMs));
}

int Backoff::nextWaitMs()
{
    const int nominal = nominalWaitMs();
    ++m_attempts;
    if (nominal == 0)
        return 0;
    const double share = 1.0 + Jitter * (2.0 * m_random.generateDouble() - 1.0);
    const double wait = nominal * share;
    if (wait <= MaxWaitMs)
        return int(std::lround(wait));
    // At the cap the spread stays, below it: clipping would gather every late
    // client on the cap itself.
    const double low = MaxWaitMs * (1.0 - Jitter);
    return int(std::lround(low + (MaxWaitMs - low) * m_random.generateDouble()));
}

} // namespace Brellow
