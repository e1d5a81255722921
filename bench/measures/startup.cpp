// Start-up: a bare QWebEngineView showing the same page against Brellow, from the start of
// the process to the loaded page, seen from outside through the debugging endpoint.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcessEnvironment>

#include <unistd.h>

namespace Bench {
namespace {

class Startup : public Measure
{
public:
    QString name() const override { return QStringLiteral("startup"); }

    void run(Runner &bench) override
    {
        const QString section = QStringLiteral("startup");
        QJsonObject json;
        QList<double> bare;
        QList<double> brellow;
        QList<double> bareInside;
        const QStringList args = bench.serverArguments();
        QProcessEnvironment bareEnv = bench.options().bareEnv;
        QProcessEnvironment brellowEnv = bench.options().env;
        if (geteuid() == 0) {
            bareEnv.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
            brellowEnv.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        }
        // One unmeasured start of each first, so that both find the files in the cache.
        for (int run = -1; run < bench.options().startupRuns; ++run) {
            for (const bool isBare : {true, false}) {
                const QString home = bench.newHome();
                QDir().mkpath(home + QStringLiteral("/runtime"));
                WebProcess process;
                process.process().setStandardOutputFile(QString());
                if (!process.start(isBare ? bench.options().bareview : bench.options().brellow,
                                   isBare ? QStringList() : args, home,
                                   isBare ? bareEnv : brellowEnv)) {
                    bench.add(section, QStringLiteral("error"), process.lastError());
                    return;
                }
                const qint64 loaded = process.waitForLoadedPage(60000);
                if (loaded < 0) {
                    bench.add(section, QStringLiteral("error"),
                              QStringLiteral("%1: %2").arg(isBare ? QStringLiteral("bare view")
                                                                  : QStringLiteral("brellow"),
                                                           process.lastError()));
                    return;
                }
                const double ms = (loaded - process.startedAtUs()) / 1000.0;
                if (isBare) {
                    // What the bare view itself says, for comparison with what is seen from
                    // outside.
                    process.process().waitForReadyRead(2000);
                    const QList<QByteArray> words =
                        process.process().readAllStandardOutput().trimmed().split(' ');
                    if (run >= 0 && words.size() == 3)
                        bareInside << (words.at(2).toLongLong() - process.startedAtUs()) / 1000.0;
                }
                if (run >= 0)
                    (isBare ? bare : brellow) << ms;
                if (!isBare && run == 0)
                    json.insert(QStringLiteral("brellow_page_world"), process.worldDescription());
                process.terminate(10000);
            }
        }
        const double bareMedian = median(bare);
        const double brellowMedian = median(brellow);
        auto toArray = [](const QList<double> &values) {
            QJsonArray array;
            for (const double v : values)
                array.append(v);
            return array;
        };
        json.insert(QStringLiteral("runs"), bench.options().startupRuns);
        json.insert(QStringLiteral("bare_ms"), toArray(bare));
        json.insert(QStringLiteral("brellow_ms"), toArray(brellow));
        json.insert(QStringLiteral("bare_loadfinished_ms"), toArray(bareInside));
        json.insert(QStringLiteral("bare_median_ms"), bareMedian);
        json.insert(QStringLiteral("brellow_median_ms"), brellowMedian);
        json.insert(QStringLiteral("ratio"), brellowMedian / bareMedian);
        bench.json().insert(section, json);
        bench.add(section,
                  QStringLiteral("bare view, start to loaded page (median of %1)").arg(bare.size()),
                  fmt(bareMedian) + QStringLiteral(" ms"));
        bench.add(section, QStringLiteral("bare view, its own loadFinished (median)"),
                  fmt(median(bareInside)) + QStringLiteral(" ms"));
        bench.add(
            section,
            QStringLiteral("brellow, start to loaded page (median of %1)").arg(brellow.size()),
            fmt(brellowMedian) + QStringLiteral(" ms"));
        bench.add(section, QStringLiteral("ratio brellow / bare view"),
                  fmt(brellowMedian / bareMedian, 2));
    }
};

const Measure::Registration<Startup> registration(10);

} // namespace
} // namespace Bench
