// SIGTERM while update_live streams in: Brellow must end within 2 s, with exit code 0 and
// "terminated" as the last line of its log.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>

#include <cmath>
#include <csignal>

namespace Bench {
namespace {

class Sigterm : public Measure
{
public:
    QString name() const override { return QStringLiteral("sigterm"); }

    void run(Runner &bench) override
    {
        if (!bench.readyMain())
            return;
        const QString section = QStringLiteral("sigterm");
        WebProcess *page = bench.main();
        const quint16 peer = bench.mainPeer();
        const int pid = page->pid();
        const int rate = bench.options().streamRate;
        const qint64 leadNs = (bench.options().quick ? 1 : 3) * 1000000000LL;
        const qint64 start = monoNs();
        qint64 signalledAt = 0;
        qint64 exitedAt = 0;
        auto stop = [&]() {
            const qint64 now = monoNs();
            if (!signalledAt && now - start >= leadNs) {
                ::kill(pid, SIGTERM);
                signalledAt = now;
            }
            if (signalledAt && hasExited(pid)) {
                exitedAt = monoNs();
                return true;
            }
            // Past 10 s after the signal the answer is known: it did not end in 2 s.
            return signalledAt && now - signalledAt > 10000000000LL;
        };
        const qint64 count = qint64(rate) * 30;
        bench.stream(
            peer, count, rate, [](qint64 i) { return liveDatagram(40000000 + i); }, nullptr,
            nullptr, stop);
        QProcess &process = page->process();
        const bool finished = process.waitForFinished(exitedAt ? 5000 : 20000);
        if (!finished) {
            process.kill();
            process.waitForFinished(5000);
        }
        QFile log(page->configHome() + QStringLiteral("/Brellow/brellow.log"));
        QString lastLine;
        if (log.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
            lastLine = QString::fromUtf8(lines.last());
        }
        const double ms = exitedAt ? (exitedAt - signalledAt) / 1e6 : NAN;
        const int code =
            finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        const bool terminatedLogged = lastLine.endsWith(QLatin1String("terminated"));
        const bool pass = exitedAt && ms <= 2000 && code == 0 && terminatedLogged;
        bench.json().insert(section, QJsonObject{{QStringLiteral("stream_rate"), rate},
                                                 {QStringLiteral("exit_ms"),
                                                  std::isnan(ms) ? QJsonValue() : QJsonValue(ms)},
                                                 {QStringLiteral("exit_code"), code},
                                                 {QStringLiteral("log_last_line"), lastLine},
                                                 {QStringLiteral("within_2s_clean"), pass}});
        bench.add(section, QStringLiteral("SIGTERM during %1/s update_live").arg(rate),
                  QStringLiteral("%1: ended after %2 ms, exit code %3, log ends \"%4\"")
                      .arg(pass ? QStringLiteral("yes") : QStringLiteral("NO"), fmt(ms, 0))
                      .arg(code)
                      .arg(lastLine.section(QLatin1Char('\t'), -1)));
    }
};

const Measure::Registration<Sigterm> registration(70);

} // namespace
} // namespace Bench
