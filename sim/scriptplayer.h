#pragma once

#include "feed.h"
#include "script.h"

#include <QTimer>

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
