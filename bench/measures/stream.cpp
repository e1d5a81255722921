// A sustained stream of update_live, then of update_stat: the tree's PSS every half
// second, the growth by kind of memory, and how soon the latest state shows after it.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QJsonArray>
#include <QJsonObject>

namespace Bench {
namespace {

class Stream : public Measure
{
public:
    QString name() const override { return QStringLiteral("stream"); }

    void run(Runner &bench) override
    {
        for (const QString &kind : {QStringLiteral("update_live"), QStringLiteral("update_stat")}) {
            if (bench.readyMain())
                runKind(bench, kind);
        }
    }

private:
    void runKind(Runner &bench, const QString &kind)
    {
        const QString section = QStringLiteral("stream_") + kind;
        WebProcess *page = bench.main();
        const quint16 peer = bench.mainPeer();
        const bool live = kind == QLatin1String("update_live");
        const qint64 count = qint64(bench.options().streamRate) * bench.options().streamMs / 1000;
        const qint64 base = live ? 20000000 : 30000000;
        auto make = [live, base, count](qint64 i) {
            // The last datagram of the stream is the state the page must end in.
            const qint64 value = i == count - 1 ? base + count + 7 : base + i;
            return live ? liveDatagram(value) : statDatagram(value);
        };
        const QString watchId =
            live ? QStringLiteral("call_bar_1") : QStringLiteral("team_surveys");
        // A bar shows its answer as text: a large number would read as "2e+07", so
        // the answer is a text that carries the number.
        auto shownText = [live](qint64 value) {
            return (live ? QStringLiteral("v") : QString()) + QString::number(value);
        };
        // The first datagram of a kind changes the window itself (a call grows it),
        // which costs memory once whatever the rate: the growth counts from that state.
        int primeSends = 0;
        const qint64 primeValue = base - 1;
        bench.showFresh(page, peer, live ? liveDatagram(primeValue) : statDatagram(primeValue),
                        watchId, shownText(primeValue), wallUs(), &primeSends);
        pause(2000);
        const qint64 before = bench.treePss({page});
        const QJsonObject memoryBefore = bench.memoryDetail(page);
        const Runner::StreamStats stats =
            bench.stream(peer, count, bench.options().streamRate, make, nullptr, page);
        const qint64 last = base + count + 7;
        int sends = 0;
        // A stream cut short by the growth cap still ends with its final state.
        const qint64 showUs = bench.showFresh(page, peer, make(count - 1), watchId, shownText(last),
                                              stats.lastSendUs, &sends);
        const qint64 peak = qMax(stats.peakPssKiB, bench.treePss({page}));
        pause(2000);
        const qint64 after = bench.treePss({page});
        const QJsonObject memoryAfter = bench.memoryDetail(page);
        const QString warning = bench.memoryNote();
        if (stats.capped)
            bench.add(section, QStringLiteral("stream stopped early"),
                      QStringLiteral("after %1 datagrams: the tree grew by more than %2 MiB")
                          .arg(stats.sent)
                          .arg(bench.options().growthCapKiB / 1024));
        bench.json().insert(
            section, QJsonObject{{QStringLiteral("rate"), bench.options().streamRate},
                                 {QStringLiteral("stopped_by_growth_cap"), stats.capped},
                                 {QStringLiteral("seconds"), bench.options().streamMs / 1000.0},
                                 {QStringLiteral("sent"), double(stats.sent)},
                                 {QStringLiteral("send_failed"), double(stats.failed)},
                                 {QStringLiteral("latest_state_ms"),
                                  showUs < 0 ? QJsonValue() : QJsonValue(showUs / 1000.0)},
                                 {QStringLiteral("latest_state_sends"), sends},
                                 {QStringLiteral("pss_before_kib"), double(before)},
                                 {QStringLiteral("pss_peak_kib"), double(peak)},
                                 {QStringLiteral("pss_after_2s_kib"), double(after)},
                                 {QStringLiteral("memory_reliable"), warning.isEmpty()},
                                 {QStringLiteral("memory_before"), memoryBefore},
                                 {QStringLiteral("memory_after_2s"), memoryAfter},
                                 {QStringLiteral("pss_every_500ms_kib"), stats.pssSamples}});
        bench.add(
            section,
            QStringLiteral(
                "%1/s for %2 s: PSS growth peak / 2 s later (from the first datagram's state)")
                .arg(bench.options().streamRate)
                .arg(bench.options().streamMs / 1000),
            QStringLiteral("+%1 / +%2 MiB").arg(fmt(mib(peak - before)), fmt(mib(after - before))) +
                (warning.isEmpty() ? QString() : QStringLiteral("  !! ") + warning));
        QStringList growth;
        for (auto it = memoryAfter.begin(); it != memoryAfter.end(); ++it) {
            const double change = it.value().toDouble() - memoryBefore.value(it.key()).toDouble();
            const bool count = it.key() == QLatin1String("dom_nodes");
            growth << QStringLiteral("%1 %2%3").arg(
                it.key(), change >= 0 ? QStringLiteral("+") : QString(),
                count ? QString::number(change) : fmt(change / 1024.0));
        }
        bench.add(section, QStringLiteral("growth 2 s later by kind (MiB; DOM nodes)"),
                  growth.join(QStringLiteral(", ")));
        bench.add(
            section, QStringLiteral("latest state shown after the stream stopped"),
            showUs < 0
                ? QStringLiteral("not within %1 s").arg(bench.options().latestStateTimeoutMs / 1000)
                : QStringLiteral("%1 ms (%2 sends)").arg(fmt(showUs / 1000.0)).arg(sends));
    }
};

const Measure::Registration<Stream> registration(60);

} // namespace
} // namespace Bench
