// Idle CPU of the logged-in Brellow's process tree.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include "procstats.h"

#include <QJsonObject>

namespace Bench {
namespace {

class Cpu : public Measure
{
public:
    QString name() const override { return QStringLiteral("cpu"); }

    void run(Runner &bench) override
    {
        if (!bench.readyMain())
            return;
        const QString section = QStringLiteral("cpu");
        const QList<int> pids = ProcStats::tree(bench.main()->pid());
        const qint64 before = ProcStats::cpuTicks(pids);
        const qint64 start = monoNs();
        pause(bench.options().idleMs);
        const qint64 after = ProcStats::cpuTicks(ProcStats::tree(bench.main()->pid()));
        const double seconds = (monoNs() - start) / 1e9;
        const double percent = 100.0 * (after - before) / ProcStats::ticksPerSecond() / seconds;
        bench.json().insert(section, QJsonObject{{QStringLiteral("idle_seconds"), seconds},
                                                 {QStringLiteral("ticks"), double(after - before)},
                                                 {QStringLiteral("percent_of_one_core"), percent}});
        bench.add(section, QStringLiteral("idle, logged in, over %1 s").arg(fmt(seconds, 0)),
                  QStringLiteral("%1 % of one core").arg(fmt(percent, 2)));
    }
};

const Measure::Registration<Cpu> registration(30);

} // namespace
} // namespace Bench
