#pragma once

#include <sim/feed.h>
#include <sim/script.h>

#include <QTimer>

namespace Brellow {

// Replays a script's entries in order, each after its delay.
class ScriptPlayer : public Feed
{
    Q_OBJECT
public:
    explicit ScriptPlayer(const Script &script, QObject *parent = nullptr);

    void start() override;
    void stop() override;

private:
    void scheduleNext();
    void onTimerFire();

    QList<Script::Entry> m_entries;
    int m_next = 0;
    QTimer m_timer;
};

} // namespace Brellow
