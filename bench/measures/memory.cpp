// Memory: PSS of a bare web view alone, then of one logged-in Brellow and of each further
// Brellow run by another (throwaway) user.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include "procstats.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>
#include <unistd.h>

namespace Bench {
namespace {

class Memory : public Measure
{
public:
    QString name() const override { return QStringLiteral("memory"); }

    void run(Runner &bench) override
    {
        // Before any Brellow runs: the view's shared pages must not be split with one.
        runBareView(bench);
        if (bench.readyMain())
            runLoggedIn(bench);
    }

private:
    // PSS of a bare QWebEngineView with Qt's defaults showing the same page, idle:
    // the reference for Brellow's own figure.
    void runBareView(Runner &bench)
    {
        const QString section = QStringLiteral("memory");
        QProcessEnvironment env = bench.options().bareEnv;
        if (geteuid() == 0)
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        const QString home = bench.newHome();
        QDir().mkpath(home + QStringLiteral("/runtime"));
        WebProcess bare;
        bare.process().setStandardOutputFile(QString());
        if (!bare.start(bench.options().bareview, {}, home, env) ||
            bare.waitForLoadedPage(60000) < 0) {
            bench.add(section, QStringLiteral("error"),
                      QStringLiteral("bare view: %1").arg(bare.lastError()));
            return;
        }
        pause(bench.options().settleMs);
        const QList<int> pids = ProcStats::tree(bare.pid());
        m_barePssKiB = ProcStats::pssKiB(pids);
        const QString warning = bench.memoryNote(pids);
        bench.json().insert(QStringLiteral("bare_view_memory"),
                            QJsonObject{{QStringLiteral("pss_kib"), double(m_barePssKiB)},
                                        {QStringLiteral("processes"), int(pids.size())},
                                        {QStringLiteral("reliable"), warning.isEmpty()}});
        bench.add(
            section, QStringLiteral("PSS, bare view with Qt's defaults, idle"),
            QStringLiteral("%1 MiB (%2 processes)").arg(fmt(mib(m_barePssKiB))).arg(pids.size()) +
                (warning.isEmpty() ? QString() : QStringLiteral("  !! ") + warning));
        bare.terminate(10000);
    }

    void runLoggedIn(Runner &bench)
    {
        const QString section = QStringLiteral("memory");
        QJsonObject json;
        QJsonArray steps;
        bool reliable = true;
        QStringList warnings;

        auto measure = [&](const QString &label) {
            pause(bench.options().settleMs);
            QList<WebProcess *> all{bench.main()};
            all += bench.extras();
            QList<qint64> each;
            const qint64 total = bench.treePss(all, &each);
            const QString warning = bench.memoryNote();
            if (!warning.isEmpty()) {
                reliable = false;
                warnings << warning;
            }
            const qint64 previous =
                steps.isEmpty()
                    ? 0
                    : qint64(steps.last().toObject().value(QStringLiteral("total_kib")).toDouble());
            QJsonArray perInstance;
            for (const qint64 kib : each)
                perInstance.append(double(kib));
            steps.append(QJsonObject{{QStringLiteral("instances"), int(all.size())},
                                     {QStringLiteral("label"), label},
                                     {QStringLiteral("total_kib"), double(total)},
                                     {QStringLiteral("added_kib"), double(total - previous)},
                                     {QStringLiteral("per_instance_kib"), perInstance},
                                     {QStringLiteral("reliable"), warning.isEmpty()}});
            QString value = QStringLiteral("%1 MiB total").arg(fmt(mib(total)));
            if (previous > 0)
                value += QStringLiteral(", +%1 MiB").arg(fmt(mib(total - previous)));
            if (!warning.isEmpty())
                value += QStringLiteral("  !! ") + warning;
            bench.add(section, QStringLiteral("PSS, logged in and idle: %1").arg(label), value);
        };

        measure(QStringLiteral("1 brellow"));
        if (m_barePssKiB > 0) {
            const double first =
                steps.first().toObject().value(QStringLiteral("total_kib")).toDouble();
            json.insert(QStringLiteral("ratio_to_bare_view"), first / double(m_barePssKiB));
            bench.add(section, QStringLiteral("ratio first brellow / bare view"),
                      fmt(first / double(m_barePssKiB), 2));
        }
        if (geteuid() != 0) {
            bench.add(section, QStringLiteral("further users"),
                      QStringLiteral("skipped: creating users needs root"));
        } else {
            for (int i = 1; i <= bench.options().users; ++i) {
                WebProcess::Account account;
                if (!bench.prepareUser(i, &account)) {
                    bench.add(section, QStringLiteral("further users"),
                              QStringLiteral("cannot create user brellowbench%1").arg(i));
                    break;
                }
                QJsonObject info;
                const QString username = QStringLiteral("bench%1").arg(i + 1);
                std::unique_ptr<WebProcess> extra = bench.startBrellow(username, account, &info);
                if (!extra || !bench.logIn(extra.get(), username)) {
                    bench.add(
                        section, QStringLiteral("error"),
                        QStringLiteral("brellow as %1 did not start and log in").arg(account.name));
                    break;
                }
                bench.addExtra(std::move(extra));
                json.insert(account.name, info);
                measure(QStringLiteral("+ %1 (sandbox %2)")
                            .arg(account.name, info.value(QStringLiteral("sandbox")).toString()));
            }
        }
        json.insert(QStringLiteral("steps"), steps);
        json.insert(QStringLiteral("reliable"), reliable);
        json.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(warnings));
        bench.json().insert(section, json);
        bench.clearExtras();
    }

    qint64 m_barePssKiB = 0;
};

const Measure::Registration<Memory> registration(20);

} // namespace
} // namespace Bench
