// Accessibility: PSS of one logged-in Brellow with the page's accessibility off (no
// desktop accessibility), with the engine's accessibility turned on by the site but no
// assistive technology about, and on a desktop whose accessibility is on.
#include "benchutil.h"
#include "measure.h"
#include "runner.h"

#include "procstats.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <tools/childprocess.h>

namespace Bench {
namespace {

// A session bus with the system's services, where the accessibility bus starts on
// demand; its settings in memory, so that turning accessibility on holds.
class SessionBus
{
public:
    ~SessionBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            // Asked to leave, the daemon's activated services follow it.
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(10000))
                m_daemon.kill();
        }
    }

    bool start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        m_daemon.setProcessEnvironment(env);
        ChildProcess::dieWithParent(m_daemon);
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(10000) || !m_daemon.waitForReadyRead(10000))
            return false;
        m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }

    // The desktop's accessibility on, as its settings would turn it on.
    bool enableAccessibility()
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            gdbus({QStringLiteral("org.freedesktop.DBus.Properties.Set"),
                   QStringLiteral("org.a11y.Status"), QStringLiteral("IsEnabled"),
                   QStringLiteral("<true>")});
            if (gdbus({QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                       QStringLiteral("org.a11y.Status"), QStringLiteral("IsEnabled")})
                    .contains(QLatin1String("true")))
                return true;
            pause(100);
        }
        return false;
    }

    QString address() const { return m_address; }

private:
    QString gdbus(const QStringList &call)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        process.setProcessEnvironment(env);
        ChildProcess::dieWithParent(process);
        process.start(QStringLiteral("gdbus"),
                      QStringList{QStringLiteral("call"), QStringLiteral("--session"),
                                  QStringLiteral("--dest"), QStringLiteral("org.a11y.Bus"),
                                  QStringLiteral("--object-path"), QStringLiteral("/org/a11y/bus"),
                                  QStringLiteral("--method")} +
                          call);
        process.waitForFinished(20000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// Memory that belongs to these processes alone (Private_Clean + Private_Dirty), in
// KiB: unlike PSS it does not shrink when other engine programs share the library.
qint64 privateKiB(const QList<int> &pids)
{
    qint64 total = 0;
    for (const int pid : pids) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:"))
                total += line.simplified().split(' ').value(1).toLongLong();
        }
    }
    return total;
}

class Accessibility : public Measure
{
public:
    QString name() const override { return QStringLiteral("accessibility"); }

    void run(Runner &bench) override
    {
        const QString section = name();
        QJsonObject json;
        SessionBus bus;
        if (!bus.start() || !bus.enableAccessibility()) {
            bench.add(section, QStringLiteral("error"),
                      QStringLiteral("no session bus with the accessibility bus"));
            return;
        }
        const QString noBus = QStringLiteral("unix:path=") +
                              QDir::temp().filePath(QStringLiteral("brellow-bench-no-bus"));
        struct Case
        {
            QString key;
            QString label;
            QProcessEnvironment env;
        };
        QList<Case> cases(3);
        cases[0] = {QStringLiteral("off"), QStringLiteral("page accessibility off"), {}};
        cases[0].env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
        cases[1] = {QStringLiteral("engine_on_no_reader"),
                    QStringLiteral("on by the site, no assistive technology"),
                    {}};
        cases[1].env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
        cases[1].env.insert(QStringLiteral("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"),
                            QStringLiteral("1"));
        cases[2] = {
            QStringLiteral("desktop_on"), QStringLiteral("on, desktop accessibility on"), {}};
        cases[2].env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());

        qint64 offKiB = 0;
        qint64 offPrivateKiB = 0;
        for (const Case &c : cases) {
            QJsonObject info;
            std::unique_ptr<WebProcess> brellow =
                bench.startBrellow(QStringLiteral("bench1"), {}, &info, c.env);
            if (!brellow || !bench.logIn(brellow.get(), QStringLiteral("bench1"))) {
                bench.add(section, QStringLiteral("error"),
                          QStringLiteral("%1: brellow did not start and log in").arg(c.label));
                continue;
            }
            pause(bench.options().settleMs);
            const qint64 kib = bench.treePss({brellow.get()});
            const qint64 privateNow = privateKiB(ProcStats::tree(brellow->pid()));
            const QString warning = bench.memoryNote();
            // What Brellow itself decided, from its log.
            QFile log(brellow->configHome() + QStringLiteral("/Brellow/brellow.log"));
            QString decision;
            if (log.open(QIODevice::ReadOnly)) {
                for (const QByteArray &line : log.readAll().split('\n')) {
                    if (line.contains("page accessibility:"))
                        decision = QString::fromUtf8(line.mid(line.indexOf('\t') + 1));
                }
            }
            brellow->terminate(10000);
            if (c.key == QLatin1String("off")) {
                offKiB = kib;
                offPrivateKiB = privateNow;
            }
            QString value = QStringLiteral("%1 MiB").arg(fmt(mib(kib)));
            if (offKiB > 0 && c.key != QLatin1String("off"))
                value += QStringLiteral(" (%1%2 MiB)")
                             .arg(kib >= offKiB ? QStringLiteral("+") : QString())
                             .arg(fmt(mib(kib - offKiB)));
            value += QStringLiteral(", private %1 MiB").arg(fmt(mib(privateNow)));
            if (offPrivateKiB > 0 && c.key != QLatin1String("off"))
                value += QStringLiteral(" (%1%2 MiB)")
                             .arg(privateNow >= offPrivateKiB ? QStringLiteral("+") : QString())
                             .arg(fmt(mib(privateNow - offPrivateKiB)));
            value += QStringLiteral("; ") + decision;
            if (!warning.isEmpty())
                value += QStringLiteral("  !! ") + warning;
            bench.add(section, QStringLiteral("PSS, logged in and idle, %1").arg(c.label), value);
            json.insert(c.key, QJsonObject{{QStringLiteral("pss_kib"), double(kib)},
                                           {QStringLiteral("private_kib"), double(privateNow)},
                                           {QStringLiteral("decision"), decision},
                                           {QStringLiteral("reliable"), warning.isEmpty()}});
        }
        bench.json().insert(section, json);
    }
};

const Measure::Registration<Accessibility> registration(25);

} // namespace
} // namespace Bench
