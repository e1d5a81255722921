#pragma once

#include <QProcessEnvironment>
#include <QSet>
#include <QString>

namespace Bench {

// The bench's command line: what to measure, and how long.
struct Options
{
    bool quick = false;
    QString brellow;
    QString bareview;
    QProcessEnvironment env;
    QProcessEnvironment bareEnv;
    QSet<QString> sections;
    QString jsonPath;
    int users = 3;
    int startupRuns = 10;
    int settleMs = 20000;
    int idleMs = 60000;
    int latencyMs = 10000;
    int burstCount = 100000;
    int streamMs = 60000;
    int streamRate = 20000;
    int latestStateTimeoutMs = 120000;
    // A stream stops early once the tree has grown by this much.
    qint64 growthCapKiB = 2 * 1024 * 1024;
};

} // namespace Bench
