#pragma once

#include <QRandomGenerator>

namespace Brellow {

// The waits between attempts to reach a server that has just come back: the first
// at once, then doubling up to a cap, each spread by a random share so that a
// floor of clients that lost the server at the same moment does not come back at
// the same moment either.
class Backoff
{
public:
    static constexpr int FirstWaitMs = 2000;
    static constexpr int MaxWaitMs = 30000;
    // Each wait is drawn from [wait * (1 - Jitter), wait * (1 + Jitter)], and never
    // beyond MaxWaitMs: near the cap from [MaxWaitMs * (1 - Jitter), MaxWaitMs].
    static constexpr double Jitter = 0.5;

    explicit Backoff(quint32 seed = QRandomGenerator::system()->generate());

    // The wait before the next attempt: 0 for the first, then about 2, 4, 8 ... 30 s.
    int nextWaitMs();
    // The wait nextWaitMs() draws around, before the jitter.
    int nominalWaitMs() const;
    int attempts() const { return m_attempts; }
    void reset() { m_attempts = 0; }

private:
    QRandomGenerator m_random;
    int m_attempts = 0;
};

} // namespace Brellow
