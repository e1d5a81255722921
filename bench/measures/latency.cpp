// Datagram to page: each update_stat's send time against the time the page showed its
// value, at 100, 1,000 and 10,000 datagrams a second.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace Bench {
namespace {

class Latency : public Measure
{
public:
    QString name() const override { return QStringLiteral("latency"); }

    void run(Runner &bench) override
    {
        if (!bench.readyMain())
            return;
        const QString section = QStringLiteral("latency");
        WebProcess *page = bench.main();
        const quint16 peer = bench.mainPeer();
        qint64 offset = 0;
        if (!bench.measureClockOffset(page, &offset)) {
            bench.add(section, QStringLiteral("error"), page->lastError());
            return;
        }
        QJsonObject json;
        const QList<int> rates{100, 1000, 10000};
        for (int r = 0; r < rates.size(); ++r) {
            const int rate = rates.at(r);
            const qint64 count = qint64(rate) * bench.options().latencyMs / 1000;
            const qint64 base = 1000000 * (r + 1);
            page->evaluate(
                QStringLiteral("window.__bench.rec=[];window.__bench.count=0;window.__bench."
                               "recId='team_surveys';true"));
            QList<qint64> times;
            const Runner::StreamStats stats = bench.stream(
                peer, count, rate, [base](qint64 i) { return statDatagram(base + i); }, &times,
                nullptr);
            // Whatever is still on its way arrives within a few seconds.
            if (!page->waitFor(
                    QStringLiteral("window.__bench.rec.length>1&&window.__bench.rec[window._"
                                   "_bench.rec.length-2]===%1")
                        .arg(base + count - 1),
                    5000))
                bench.setMainBusy();
            bool ok = false;
            const QJsonArray rec =
                page->evaluate(QStringLiteral(
                                   "(function(){var "
                                   "r=window.__bench.rec;window.__bench.recId='';return r;})()"),
                               &ok, 60000)
                    .toArray();
            qint64 check = 0;
            bench.measureClockOffset(page, &check);
            QHash<qint64, double> firstSeenUs;
            for (int i = 0; i + 1 < rec.size(); i += 2) {
                const qint64 value = qint64(rec.at(i).toDouble());
                if (!firstSeenUs.contains(value))
                    firstSeenUs.insert(value, rec.at(i + 1).toDouble() * 1000.0 - offset);
            }
            QList<double> latencies;
            for (qint64 i = 0; i < count; ++i) {
                const auto found = firstSeenUs.constFind(base + i);
                if (found != firstSeenUs.cend())
                    latencies << (found.value() - times.at(i)) / 1000.0;
            }
            std::sort(latencies.begin(), latencies.end());
            const double p50 = percentile(latencies, 50);
            const double p99 = percentile(latencies, 99);
            const double max = latencies.isEmpty() ? NAN : latencies.last();
            json.insert(QString::number(rate),
                        QJsonObject{{QStringLiteral("sent"), double(stats.sent)},
                                    {QStringLiteral("send_failed"), double(stats.failed)},
                                    {QStringLiteral("shown"), int(latencies.size())},
                                    {QStringLiteral("p50_ms"), p50},
                                    {QStringLiteral("p99_ms"), p99},
                                    {QStringLiteral("max_ms"), max},
                                    {QStringLiteral("clock_drift_us"), double(check - offset)}});
            bench.add(section,
                      QStringLiteral("%1/s for %2 s: p50 / p99 / max")
                          .arg(rate)
                          .arg(bench.options().latencyMs / 1000),
                      QStringLiteral("%1 / %2 / %3 ms (%4 of %5 shown)")
                          .arg(fmt(p50, 2), fmt(p99, 2), fmt(max, 2))
                          .arg(latencies.size())
                          .arg(count));
        }
        json.insert(QStringLiteral("clock_offset_us"), double(offset));
        bench.json().insert(section, json);
    }
};

const Measure::Registration<Latency> registration(40);

} // namespace
} // namespace Bench
