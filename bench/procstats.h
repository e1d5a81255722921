#pragma once

#include <QList>
#include <QMap>
#include <QString>

// What /proc tells about a process and everything it started: the Qt WebEngine
// helpers (zygote, renderer, GPU and utility processes) are children of the program.
namespace ProcStats {

// The process and all of its descendants, the process first.
QList<int> tree(int pid);

// Proportional set size in KiB, summed over the given processes (smaps_rollup).
qint64 pssKiB(const QList<int> &pids);

// Private (Pss) memory in KiB by the kind of mapping: "heap" (the brk heap), "anon"
// (unnamed mappings: other malloc arenas, the JavaScript heap, the engine's own
// allocators), "file" (mapped files) and "other" (stacks and named special mappings).
QMap<QString, qint64> pssByKindKiB(const QList<int> &pids);

// utime + stime in clock ticks, summed over the given processes.
qint64 cpuTicks(const QList<int> &pids);
long ticksPerSecond();

// Processes that map Qt WebEngine's core library, leaving out the given ones.
QList<int> otherWebEngineProcesses(const QList<int> &ours);

QString commandName(int pid);

} // namespace ProcStats
