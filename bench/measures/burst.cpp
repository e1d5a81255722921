// A burst of update_stat as fast as the socket takes them: how soon a fresh value shows
// after it, and how the tree's memory grows.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QJsonObject>

namespace Bench {
namespace {

class Burst : public Measure
{
public:
    QString name() const override { return QStringLiteral("burst"); }

    void run(Runner &bench) override
    {
        if (!bench.readyMain())
            return;
        const QString section = QStringLiteral("burst");
        WebProcess *page = bench.main();
        const quint16 peer = bench.mainPeer();
        const qint64 count = bench.options().burstCount;
        const qint64 base = 10000000;
        pause(1000);
        const qint64 before = bench.treePss({page});
        page->evaluate(QStringLiteral(
            "window.__bench.rec=[];window.__bench.count=0;window.__bench.recId='';true"));
        const Runner::StreamStats stats = bench.stream(
            peer, count, 0, [base](qint64 i) { return statDatagram(base + i); }, nullptr, page);
        const qint64 fresh = base + count + 7;
        int sends = 0;
        const qint64 showUs =
            bench.showFresh(page, peer, statDatagram(fresh), QStringLiteral("team_surveys"),
                            QString::number(fresh), stats.lastSendUs, &sends);
        const qint64 peakDuring = qMax(stats.peakPssKiB, bench.treePss({page}));
        pause(2000);
        const qint64 after = bench.treePss({page});
        const QString warning = bench.memoryNote();
        bench.json().insert(section,
                            QJsonObject{{QStringLiteral("datagrams"), double(count)},
                                        {QStringLiteral("sent"), double(stats.sent)},
                                        {QStringLiteral("send_failed"), double(stats.failed)},
                                        {QStringLiteral("fresh_value_ms"),
                                         showUs < 0 ? QJsonValue() : QJsonValue(showUs / 1000.0)},
                                        {QStringLiteral("fresh_value_sends"), sends},
                                        {QStringLiteral("pss_before_kib"), double(before)},
                                        {QStringLiteral("pss_peak_kib"), double(peakDuring)},
                                        {QStringLiteral("pss_after_2s_kib"), double(after)},
                                        {QStringLiteral("memory_reliable"), warning.isEmpty()}});
        bench.add(
            section,
            QStringLiteral("%1 update_stat as fast as possible, fresh value shown after")
                .arg(count),
            showUs < 0
                ? QStringLiteral("not within %1 s").arg(bench.options().latestStateTimeoutMs / 1000)
                : QStringLiteral("%1 ms (%2 sends)").arg(fmt(showUs / 1000.0)).arg(sends));
        bench.add(section, QStringLiteral("PSS growth: peak / 2 s later"),
                  QStringLiteral("+%1 / +%2 MiB")
                          .arg(fmt(mib(peakDuring - before)), fmt(mib(after - before))) +
                      (warning.isEmpty() ? QString() : QStringLiteral("  !! ") + warning));
    }
};

const Measure::Registration<Burst> registration(50);

} // namespace
} // namespace Bench
