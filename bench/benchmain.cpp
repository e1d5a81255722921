// brellow-bench: measures the real brellow from outside, as a user's tools would:
// memory and CPU of its process tree from /proc, its page through the
// remote-debugging endpoint, and its statistics server played by the bench.
// Prints a table and writes the same figures as JSON.
#include "cdpclient.h"
#include "procstats.h"
#include "statserver.h"
#include "webprocess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <ctime>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QTextStream out(stdout);

void note(const QString &text)
{
    QTextStream(stderr) << "bench: " << text << Qt::endl;
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 monoNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepUntilNs(qint64 ns)
{
    timespec ts{};
    ts.tv_sec = ns / 1000000000;
    ts.tv_nsec = ns % 1000000000;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return NAN;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

// Nearest-rank percentile of sorted values.
double percentile(const QList<double> &sorted, double p)
{
    if (sorted.isEmpty())
        return NAN;
    const int rank = qBound(1, int(std::ceil(p / 100.0 * sorted.size())), int(sorted.size()));
    return sorted.at(rank - 1);
}

QString fmt(double value, int decimals = 1)
{
    return std::isnan(value) ? QStringLiteral("n/a") : QString::number(value, 'f', decimals);
}

double mib(qint64 kib)
{
    return kib / 1024.0;
}

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

struct Row
{
    QString section;
    QString metric;
    QString value;
};

// Records, in a world of the bench's own, every change of the watched elements'
// text with the page's wall-clock time; the bench reads the records afterwards.
const char *const observerScript = R"JS((function(){
if (window.__bench) return 'present';
var b = window.__bench = {recId: '', rec: [], count: 0, watchId: '', watchText: '', seenAt: 0};
new MutationObserver(function (list) {
  var t = performance.timeOrigin + performance.now();
  for (var i = 0; i < list.length; i++) {
    var m = list[i];
    var el = m.target.nodeType === 3 ? m.target.parentNode : m.target;
    if (!el || !el.id) continue;
    var text;
    if (m.type === 'characterData') text = m.target.data;
    else if (m.addedNodes.length) { text = ''; for (var k = 0; k < m.addedNodes.length; k++) text += m.addedNodes[k].textContent; }
    else continue;
    if (el.id === b.recId) { b.count++; b.rec.push(+text, t); }
    if (el.id === b.watchId && text === b.watchText && !b.seenAt) b.seenAt = t;
  }
}).observe(document.body, {subtree: true, childList: true, characterData: true});
return 'installed';
})())JS";

class Bench
{
public:
    explicit Bench(const Options &options) : m_options(options) {}
    int run();

private:
    bool wanted(const QString &section) const { return m_options.sections.contains(section); }
    void add(const QString &section, const QString &metric, const QString &value);
    // Empty, or a warning naming other Qt WebEngine processes than ours.
    QString memoryNote(const QList<int> &alsoOurs = {});
    qint64 treePss(const QList<WebProcess *> &processes, QList<qint64> *each = nullptr);
    QJsonObject memoryDetail(WebProcess *page);
    QList<int> ourPids() const;

    bool probeServerOption();
    bool prepareUser(int index, WebProcess::Account *account);
    std::unique_ptr<WebProcess> startBrellow(const QString &username,
                                             const WebProcess::Account &account, QJsonObject *info);
    bool logIn(WebProcess *brellow, const QString &username);
    bool measureClockOffset(WebProcess *page, qint64 *offsetUs);

    // Sends count datagrams made by make(i) at rate per second (0: as fast as
    // the socket takes them), noting each one's send time if times is given and
    // sampling the tree's PSS on the way.
    struct StreamStats
    {
        qint64 sent = 0;
        qint64 failed = 0;
        qint64 lastSendUs = 0;
        qint64 peakPssKiB = 0;
        // PSS of the tree every half second, in KiB.
        QJsonArray pssSamples;
        bool capped = false;
    };
    StreamStats stream(quint16 peer, qint64 count, int rate,
                       const std::function<QByteArray(qint64)> &make, QList<qint64> *times,
                       WebProcess *watched, const std::function<bool()> &stop = {});
    // Sends the datagram again every 100 ms until the page shows text in element
    // id; the microseconds from the first send, or -1.
    qint64 showFresh(WebProcess *page, quint16 peer, const QByteArray &datagram, const QString &id,
                     const QString &text, qint64 fromUs, int *sends);

    // Brellow for the next phase: the same one, unless a phase left it with
    // work still queued, then a new one, logged in.
    bool readyMain();
    void runStartup();
    void runBareMemory();
    void runMemory();
    void runCpu();
    void runLatency();
    void runBurst();
    void runStream(const QString &kind);
    void runSigterm();
    void print();

    Options m_options;
    QTemporaryDir m_dir;
    StatServer m_server;
    bool m_serverOption = false;
    int m_lockFd = -1;
    QList<Row> m_rows;
    QJsonObject m_json;
    QSet<int> m_foreign;
    std::unique_ptr<WebProcess> m_main;
    bool m_mainBusy = false;
    qint64 m_barePssKiB = 0;
    QList<WebProcess *> m_extra;
    QStringList m_createdUsers;
    int m_homes = 0;
};

void Bench::add(const QString &section, const QString &metric, const QString &value)
{
    m_rows.append({section, metric, value});
    note(QStringLiteral("%1: %2 = %3").arg(section, metric, value));
}

QList<int> Bench::ourPids() const
{
    QList<int> pids;
    if (m_main && m_main->pid() > 0)
        pids += ProcStats::tree(m_main->pid());
    for (WebProcess *extra : m_extra)
        if (extra->pid() > 0)
            pids += ProcStats::tree(extra->pid());
    return pids;
}

// Empty while nobody else maps Qt WebEngine; otherwise the warning that goes
// beside every memory figure.
QString Bench::memoryNote(const QList<int> &alsoOurs)
{
    const QList<int> others = ProcStats::otherWebEngineProcesses(ourPids() + alsoOurs);
    for (const int pid : others)
        m_foreign.insert(pid);
    if (others.isEmpty())
        return {};
    QStringList names;
    for (const int pid : others)
        names << QStringLiteral("%1(%2)").arg(pid).arg(ProcStats::commandName(pid));
    return QStringLiteral("UNRELIABLE: other Qt WebEngine processes share its pages: %1")
        .arg(names.join(QLatin1Char(' ')));
}

qint64 Bench::treePss(const QList<WebProcess *> &processes, QList<qint64> *each)
{
    qint64 total = 0;
    for (WebProcess *process : processes) {
        const qint64 pss = ProcStats::pssKiB(ProcStats::tree(process->pid()));
        if (each)
            each->append(pss);
        total += pss;
    }
    return total;
}

QJsonObject Bench::memoryDetail(WebProcess *page)
{
    QJsonObject detail;
    const QMap<QString, qint64> kinds = ProcStats::pssByKindKiB(ProcStats::tree(page->pid()));
    for (auto it = kinds.begin(); it != kinds.end(); ++it)
        detail.insert(it.key() + QStringLiteral("_kib"), double(it.value()));
    // The page's JavaScript heap and DOM, as the debugging endpoint reports them.
    const QJsonObject heap = page->cdp().call(QStringLiteral("Runtime.getHeapUsage"), {}, 30000);
    if (heap.contains(QStringLiteral("usedSize"))) {
        detail.insert(QStringLiteral("js_used_kib"),
                      heap.value(QStringLiteral("usedSize")).toDouble() / 1024);
        detail.insert(QStringLiteral("js_total_kib"),
                      heap.value(QStringLiteral("totalSize")).toDouble() / 1024);
    }
    const QJsonObject dom = page->cdp().call(QStringLiteral("Memory.getDOMCounters"), {}, 30000);
    if (dom.contains(QStringLiteral("nodes")))
        detail.insert(QStringLiteral("dom_nodes"), dom.value(QStringLiteral("nodes")).toDouble());
    return detail;
}

bool Bench::probeServerOption()
{
    // Brellow may not know --help at all and simply start: give it a moment,
    // look for the option in what it prints, then end it.
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("probe")));
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(m_options.brellow, {QStringLiteral("--help")});
    if (!probe.waitForStarted(5000))
        return false;
    probe.waitForFinished(4000);
    QByteArray text = probe.readAll();
    if (probe.state() != QProcess::NotRunning) {
        probe.kill();
        probe.waitForFinished(5000);
        text += probe.readAll();
    }
    return text.contains("--server");
}

bool Bench::prepareUser(int index, WebProcess::Account *account)
{
    const QString name = QStringLiteral("brellowbench%1").arg(index);
    passwd *entry = getpwnam(name.toLatin1().constData());
    if (!entry) {
        const int code = QProcess::execute(
            QStringLiteral("useradd"),
            {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
             QStringLiteral("--home-dir"), QStringLiteral("/nonexistent"),
             QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"), name});
        if (code != 0)
            return false;
        m_createdUsers << name;
        entry = getpwnam(name.toLatin1().constData());
        if (!entry)
            return false;
    }
    account->name = name;
    account->uid = entry->pw_uid;
    account->gid = entry->pw_gid;
    return true;
}

std::unique_ptr<WebProcess>
Bench::startBrellow(const QString &username, const WebProcess::Account &account, QJsonObject *info)
{
    const QString home = m_dir.filePath(QStringLiteral("home%1").arg(++m_homes));
    QDir().mkpath(home + QStringLiteral("/.config/Brellow"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    // The saved user name is the one the bench types: Brellow fills it in when
    // the page has loaded, whichever comes first.
    QFile ini(home + QStringLiteral("/.config/Brellow/brellow.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write(QStringLiteral("[General]\nloginUsername=%1\n").arg(username).toUtf8());
    ini.close();

    QProcessEnvironment env = m_options.env;
    bool sandbox = true;
    QString sandboxWhy;
    if (account.name.isEmpty()) {
        if (geteuid() == 0) {
            sandbox = false;
            sandboxWhy = QStringLiteral("root");
        }
    } else {
        const QString xauth = qEnvironmentVariable("XAUTHORITY");
        if (!xauth.isEmpty())
            QFile::copy(xauth, home + QStringLiteral("/.Xauthority"));
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"),
                           QStringLiteral("%1:%2").arg(account.uid).arg(account.gid), home});
        // Chromium's sandbox needs user namespaces for an ordinary user.
        const int userns = QProcess::execute(QStringLiteral("setpriv"),
                                             {QStringLiteral("--reuid=%1").arg(account.uid),
                                              QStringLiteral("--regid=%1").arg(account.gid),
                                              QStringLiteral("--clear-groups"),
                                              QStringLiteral("--"), QStringLiteral("unshare"),
                                              QStringLiteral("-U"), QStringLiteral("true")});
        if (userns != 0) {
            sandbox = false;
            sandboxWhy = QStringLiteral("no user namespaces for %1").arg(account.name);
        }
    }
    if (env.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")) && sandbox) {
        sandbox = false;
        sandboxWhy = QStringLiteral("--env");
    }

    QStringList args;
    if (m_serverOption)
        args << QStringLiteral("--server") << QStringLiteral("127.0.0.1:%1").arg(m_server.port());

    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!sandbox)
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        auto brellow = std::make_unique<WebProcess>();
        if (brellow->start(m_options.brellow, args, home, env, account) &&
            brellow->waitForLoadedPage(60000) >= 0) {
            info->insert(QStringLiteral("user"),
                         account.name.isEmpty() ? QStringLiteral("(bench's own)") : account.name);
            info->insert(QStringLiteral("sandbox"),
                         sandbox ? QStringLiteral("on")
                                 : QStringLiteral("off: %1").arg(sandboxWhy));
            info->insert(QStringLiteral("page_world"), brellow->worldDescription());
            return brellow;
        }
        note(QStringLiteral("brellow as %1 did not show its page: %2")
                 .arg(account.name.isEmpty() ? QStringLiteral("the bench's user") : account.name,
                      brellow->lastError()));
        if (!sandbox)
            break;
        sandbox = false;
        sandboxWhy = QStringLiteral("the sandboxed start failed");
    }
    return nullptr;
}

bool Bench::logIn(WebProcess *brellow, const QString &username)
{
    // Our own world: the page's main world may be shut to scripts, and the
    // program's link hook catches the click whichever world makes it.
    const QString click =
        QStringLiteral("(function(){document.querySelector('#username').value=%1;"
                       "document.querySelector('#password').value='bench';"
                       "document.querySelector('#login_button').click();return true;})()")
            .arg(QString::fromUtf8(
                     QJsonDocument(QJsonArray{username}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1));
    // A login under this name counts only if it comes after this point: an
    // earlier instance may have used the same name.
    const int loginsBefore = m_server.logins();
    auto loggedIn = [&] {
        return m_server.logins() > loginsBefore && m_server.peerOf(username) != 0;
    };
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && !loggedIn()) {
        brellow->evaluate(click);
        // The web channel may not be up yet right after the load: the click is
        // then lost, and made again.
        QDeadlineTimer wait(1000);
        while (!wait.hasExpired() && !loggedIn())
            pause(10);
    }
    if (!loggedIn())
        return false;
    return brellow->waitFor(
        QStringLiteral("document.querySelector('#top_panel1').style.display==='block'"), 10000);
}

bool Bench::measureClockOffset(WebProcess *page, qint64 *offsetUs)
{
    // The page's clock against ours: the reading with the shortest round trip
    // bounds the offset best.
    qint64 bestRtt = -1;
    for (int i = 0; i < 30; ++i) {
        const qint64 before = wallUs();
        bool ok = false;
        const double pageMs =
            page->evaluate(QStringLiteral("performance.timeOrigin+performance.now()"), &ok)
                .toDouble();
        const qint64 after = wallUs();
        if (!ok)
            return false;
        const qint64 rtt = after - before;
        if (bestRtt < 0 || rtt < bestRtt) {
            bestRtt = rtt;
            *offsetUs = qint64(pageMs * 1000.0) - (before + after) / 2;
        }
    }
    m_json.insert(QStringLiteral("clock_offset_us"), double(*offsetUs));
    m_json.insert(QStringLiteral("clock_offset_uncertainty_us"), double(bestRtt / 2));
    return true;
}

Bench::StreamStats Bench::stream(quint16 peer, qint64 count, int rate,
                                 const std::function<QByteArray(qint64)> &make,
                                 QList<qint64> *times, WebProcess *watched,
                                 const std::function<bool()> &stop)
{
    StreamStats stats;
    const qint64 start = monoNs();
    qint64 nextSample = start;
    const qint64 startPss = watched ? treePss({watched}) : 0;
    if (times)
        times->reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        if (rate > 0)
            sleepUntilNs(start + i * 1000000000LL / rate);
        const QByteArray datagram = make(i);
        const qint64 sentAt = wallUs();
        if (m_server.send(peer, datagram))
            ++stats.sent;
        else
            ++stats.failed;
        stats.lastSendUs = sentAt;
        if (times)
            times->append(sentAt);
        if (watched && monoNs() >= nextSample) {
            const qint64 pss = treePss({watched});
            stats.pssSamples.append(double(pss));
            stats.peakPssKiB = qMax(stats.peakPssKiB, pss);
            nextSample = monoNs() + 500000000LL;
            if (stats.peakPssKiB - startPss > m_options.growthCapKiB) {
                stats.capped = true;
                break;
            }
        }
        if (stop && (i & 255) == 0 && stop())
            break;
    }
    // The server's socket has waited meanwhile: answer Brellow's pings.
    QCoreApplication::processEvents();
    return stats;
}

qint64 Bench::showFresh(WebProcess *page, quint16 peer, const QByteArray &datagram,
                        const QString &id, const QString &text, qint64 fromUs, int *sends)
{
    page->evaluate(
        QStringLiteral(
            "window.__bench.seenAt=0;window.__bench.watchText=%1;window.__bench.watchId='%2';true")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1),
                 id));
    *sends = 0;
    // The page may already show the state: a write of the same text changes
    // nothing the watch could see, so look first. The time is then an upper bound.
    {
        bool ok = false;
        const QString shown =
            page->evaluate(QStringLiteral("document.getElementById('%1').textContent").arg(id), &ok,
                           30000)
                .toString();
        if (ok && shown == text)
            return wallUs() - fromUs;
    }
    QDeadlineTimer deadline(m_options.latestStateTimeoutMs);
    while (!deadline.hasExpired()) {
        m_server.send(peer, datagram);
        ++*sends;
        QDeadlineTimer again(100);
        while (!again.hasExpired()) {
            bool ok = false;
            const double seen =
                page->evaluate(QStringLiteral("window.__bench.seenAt"), &ok, 30000).toDouble();
            if (ok && seen > 0) {
                qint64 offset = 0;
                measureClockOffset(page, &offset);
                return qint64(seen * 1000.0) - offset - fromUs;
            }
            pause(5);
        }
    }
    m_mainBusy = true;
    return -1;
}

bool Bench::readyMain()
{
    if (m_main && !m_mainBusy)
        return true;
    if (m_main)
        add(QStringLiteral("setup"), QStringLiteral("restarting brellow"),
            QStringLiteral("the last phase left its page busy"));
    m_main.reset();
    m_mainBusy = false;
    QJsonObject info;
    m_main = startBrellow(QStringLiteral("bench1"), {}, &info);
    if (!m_main || !logIn(m_main.get(), QStringLiteral("bench1"))) {
        add(QStringLiteral("setup"), QStringLiteral("error"),
            QStringLiteral("brellow did not start and log in: %1")
                .arg(m_main ? m_main->lastError() : QString()));
        m_main.reset();
        return false;
    }
    if (!m_json.contains(QStringLiteral("main_instance"))) {
        m_json.insert(QStringLiteral("main_instance"), info);
        add(QStringLiteral("setup"), QStringLiteral("reading the page"),
            info.value(QStringLiteral("page_world")).toString());
    }
    // Records are kept in a world of the bench's own, whatever the main world allows.
    const QString installed = m_main->prepareIsolatedWorld()
                                  ? m_main->evaluate(QString::fromUtf8(observerScript)).toString()
                                  : QString();
    if (installed.isEmpty()) {
        add(QStringLiteral("setup"), QStringLiteral("error"),
            QStringLiteral("cannot watch the page: %1").arg(m_main->lastError()));
        m_main.reset();
        return false;
    }
    return true;
}

void Bench::runStartup()
{
    const QString section = QStringLiteral("startup");
    QJsonObject json;
    QList<double> bare;
    QList<double> brellow;
    QList<double> bareInside;
    QStringList args;
    if (m_serverOption)
        args << QStringLiteral("--server") << QStringLiteral("127.0.0.1:%1").arg(m_server.port());
    QProcessEnvironment bareEnv = m_options.bareEnv;
    QProcessEnvironment brellowEnv = m_options.env;
    if (geteuid() == 0) {
        bareEnv.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        brellowEnv.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    }
    // One unmeasured start of each first, so that both find the files in the cache.
    for (int run = -1; run < m_options.startupRuns; ++run) {
        for (const bool isBare : {true, false}) {
            const QString home = m_dir.filePath(QStringLiteral("home%1").arg(++m_homes));
            QDir().mkpath(home + QStringLiteral("/runtime"));
            WebProcess process;
            process.process().setStandardOutputFile(QString());
            if (!process.start(isBare ? m_options.bareview : m_options.brellow,
                               isBare ? QStringList() : args, home,
                               isBare ? bareEnv : brellowEnv)) {
                add(section, QStringLiteral("error"), process.lastError());
                return;
            }
            const qint64 loaded = process.waitForLoadedPage(60000);
            if (loaded < 0) {
                add(section, QStringLiteral("error"),
                    QStringLiteral("%1: %2").arg(isBare ? QStringLiteral("bare view")
                                                        : QStringLiteral("brellow"),
                                                 process.lastError()));
                return;
            }
            const double ms = (loaded - process.startedAtUs()) / 1000.0;
            if (isBare) {
                // What the bare view itself says, for comparison with what is seen from outside.
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
    json.insert(QStringLiteral("runs"), m_options.startupRuns);
    json.insert(QStringLiteral("bare_ms"), toArray(bare));
    json.insert(QStringLiteral("brellow_ms"), toArray(brellow));
    json.insert(QStringLiteral("bare_loadfinished_ms"), toArray(bareInside));
    json.insert(QStringLiteral("bare_median_ms"), bareMedian);
    json.insert(QStringLiteral("brellow_median_ms"), brellowMedian);
    json.insert(QStringLiteral("ratio"), brellowMedian / bareMedian);
    m_json.insert(section, json);
    add(section, QStringLiteral("bare view, start to loaded page (median of %1)").arg(bare.size()),
        fmt(bareMedian) + QStringLiteral(" ms"));
    add(section, QStringLiteral("bare view, its own loadFinished (median)"),
        fmt(median(bareInside)) + QStringLiteral(" ms"));
    add(section, QStringLiteral("brellow, start to loaded page (median of %1)").arg(brellow.size()),
        fmt(brellowMedian) + QStringLiteral(" ms"));
    add(section, QStringLiteral("ratio brellow / bare view"), fmt(brellowMedian / bareMedian, 2));
}

// PSS of a bare QWebEngineView with Qt's defaults showing the same page, idle:
// the reference for Brellow's own figure.
void Bench::runBareMemory()
{
    const QString section = QStringLiteral("memory");
    QProcessEnvironment env = m_options.bareEnv;
    if (geteuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    const QString home = m_dir.filePath(QStringLiteral("home%1").arg(++m_homes));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    WebProcess bare;
    bare.process().setStandardOutputFile(QString());
    if (!bare.start(m_options.bareview, {}, home, env) || bare.waitForLoadedPage(60000) < 0) {
        add(section, QStringLiteral("error"),
            QStringLiteral("bare view: %1").arg(bare.lastError()));
        return;
    }
    pause(m_options.settleMs);
    const QList<int> pids = ProcStats::tree(bare.pid());
    m_barePssKiB = ProcStats::pssKiB(pids);
    const QString warning = memoryNote(pids);
    m_json.insert(QStringLiteral("bare_view_memory"),
                  QJsonObject{{QStringLiteral("pss_kib"), double(m_barePssKiB)},
                              {QStringLiteral("processes"), int(pids.size())},
                              {QStringLiteral("reliable"), warning.isEmpty()}});
    add(section, QStringLiteral("PSS, bare view with Qt's defaults, idle"),
        QStringLiteral("%1 MiB (%2 processes)").arg(fmt(mib(m_barePssKiB))).arg(pids.size()) +
            (warning.isEmpty() ? QString() : QStringLiteral("  !! ") + warning));
    bare.terminate(10000);
}

void Bench::runMemory()
{
    const QString section = QStringLiteral("memory");
    QJsonObject json;
    QJsonArray steps;
    bool reliable = true;
    QStringList warnings;

    auto measure = [&](const QString &label) {
        pause(m_options.settleMs);
        QList<WebProcess *> all{m_main.get()};
        all += m_extra;
        QList<qint64> each;
        const qint64 total = treePss(all, &each);
        const QString warning = memoryNote();
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
        add(section, QStringLiteral("PSS, logged in and idle: %1").arg(label), value);
    };

    measure(QStringLiteral("1 brellow"));
    if (m_barePssKiB > 0) {
        const double first = steps.first().toObject().value(QStringLiteral("total_kib")).toDouble();
        json.insert(QStringLiteral("ratio_to_bare_view"), first / double(m_barePssKiB));
        add(section, QStringLiteral("ratio first brellow / bare view"),
            fmt(first / double(m_barePssKiB), 2));
    }
    if (geteuid() != 0) {
        add(section, QStringLiteral("further users"),
            QStringLiteral("skipped: creating users needs root"));
    } else {
        for (int i = 1; i <= m_options.users; ++i) {
            WebProcess::Account account;
            if (!prepareUser(i, &account)) {
                add(section, QStringLiteral("further users"),
                    QStringLiteral("cannot create user brellowbench%1").arg(i));
                break;
            }
            QJsonObject info;
            const QString username = QStringLiteral("bench%1").arg(i + 1);
            std::unique_ptr<WebProcess> extra = startBrellow(username, account, &info);
            if (!extra || !logIn(extra.get(), username)) {
                add(section, QStringLiteral("error"),
                    QStringLiteral("brellow as %1 did not start and log in").arg(account.name));
                break;
            }
            m_extra.append(extra.release());
            json.insert(account.name, info);
            measure(QStringLiteral("+ %1 (sandbox %2)")
                        .arg(account.name, info.value(QStringLiteral("sandbox")).toString()));
        }
    }
    json.insert(QStringLiteral("steps"), steps);
    json.insert(QStringLiteral("reliable"), reliable);
    json.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(warnings));
    m_json.insert(section, json);
    qDeleteAll(m_extra);
    m_extra.clear();
}

void Bench::runCpu()
{
    const QString section = QStringLiteral("cpu");
    const QList<int> pids = ProcStats::tree(m_main->pid());
    const qint64 before = ProcStats::cpuTicks(pids);
    const qint64 start = monoNs();
    pause(m_options.idleMs);
    const qint64 after = ProcStats::cpuTicks(ProcStats::tree(m_main->pid()));
    const double seconds = (monoNs() - start) / 1e9;
    const double percent = 100.0 * (after - before) / ProcStats::ticksPerSecond() / seconds;
    m_json.insert(section, QJsonObject{{QStringLiteral("idle_seconds"), seconds},
                                       {QStringLiteral("ticks"), double(after - before)},
                                       {QStringLiteral("percent_of_one_core"), percent}});
    add(section, QStringLiteral("idle, logged in, over %1 s").arg(fmt(seconds, 0)),
        QStringLiteral("%1 % of one core").arg(fmt(percent, 2)));
}

QByteArray statDatagram(qint64 value)
{
    return QStringLiteral(
               R"({"cmd":"update_stat","data":{"average_score":0.5,"team_position":2,"team_surveys":%1,"user_surveys":7}})")
        .arg(value)
        .toUtf8();
}

QByteArray liveDatagram(qint64 value)
{
    return QStringLiteral(
               R"({"cmd":"update_live","data":{"call_answers":["v%1",4,3,2,1],"call_question":5}})")
        .arg(value)
        .toUtf8();
}

void Bench::runLatency()
{
    const QString section = QStringLiteral("latency");
    WebProcess *page = m_main.get();
    const quint16 peer = m_server.peerOf(QStringLiteral("bench1"));
    qint64 offset = 0;
    if (!measureClockOffset(page, &offset)) {
        add(section, QStringLiteral("error"), page->lastError());
        return;
    }
    QJsonObject json;
    const QList<int> rates{100, 1000, 10000};
    for (int r = 0; r < rates.size(); ++r) {
        const int rate = rates.at(r);
        const qint64 count = qint64(rate) * m_options.latencyMs / 1000;
        const qint64 base = 1000000 * (r + 1);
        page->evaluate(QStringLiteral("window.__bench.rec=[];window.__bench.count=0;window.__bench."
                                      "recId='team_surveys';true"));
        QList<qint64> times;
        const StreamStats stats = stream(
            peer, count, rate, [base](qint64 i) { return statDatagram(base + i); }, &times,
            nullptr);
        // Whatever is still on its way arrives within a few seconds.
        if (!page->waitFor(QStringLiteral("window.__bench.rec.length>1&&window.__bench.rec[window._"
                                          "_bench.rec.length-2]===%1")
                               .arg(base + count - 1),
                           5000))
            m_mainBusy = true;
        bool ok = false;
        const QJsonArray rec =
            page->evaluate(
                    QStringLiteral("(function(){var "
                                   "r=window.__bench.rec;window.__bench.recId='';return r;})()"),
                    &ok, 60000)
                .toArray();
        qint64 check = 0;
        measureClockOffset(page, &check);
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
        add(section,
            QStringLiteral("%1/s for %2 s: p50 / p99 / max")
                .arg(rate)
                .arg(m_options.latencyMs / 1000),
            QStringLiteral("%1 / %2 / %3 ms (%4 of %5 shown)")
                .arg(fmt(p50, 2), fmt(p99, 2), fmt(max, 2))
                .arg(latencies.size())
                .arg(count));
    }
    json.insert(QStringLiteral("clock_offset_us"), double(offset));
    m_json.insert(section, json);
}

void Bench::runBurst()
{
    const QString section = QStringLiteral("burst");
    WebProcess *page = m_main.get();
    const quint16 peer = m_server.peerOf(QStringLiteral("bench1"));
    const qint64 count = m_options.burstCount;
    const qint64 base = 10000000;
    pause(1000);
    const qint64 before = treePss({page});
    page->evaluate(QStringLiteral(
        "window.__bench.rec=[];window.__bench.count=0;window.__bench.recId='';true"));
    const StreamStats stats = stream(
        peer, count, 0, [base](qint64 i) { return statDatagram(base + i); }, nullptr, page);
    const qint64 fresh = base + count + 7;
    int sends = 0;
    const qint64 showUs = showFresh(page, peer, statDatagram(fresh), QStringLiteral("team_surveys"),
                                    QString::number(fresh), stats.lastSendUs, &sends);
    const qint64 peakDuring = qMax(stats.peakPssKiB, treePss({page}));
    pause(2000);
    const qint64 after = treePss({page});
    const QString warning = memoryNote();
    m_json.insert(section, QJsonObject{{QStringLiteral("datagrams"), double(count)},
                                       {QStringLiteral("sent"), double(stats.sent)},
                                       {QStringLiteral("send_failed"), double(stats.failed)},
                                       {QStringLiteral("fresh_value_ms"),
                                        showUs < 0 ? QJsonValue() : QJsonValue(showUs / 1000.0)},
                                       {QStringLiteral("fresh_value_sends"), sends},
                                       {QStringLiteral("pss_before_kib"), double(before)},
                                       {QStringLiteral("pss_peak_kib"), double(peakDuring)},
                                       {QStringLiteral("pss_after_2s_kib"), double(after)},
                                       {QStringLiteral("memory_reliable"), warning.isEmpty()}});
    add(section,
        QStringLiteral("%1 update_stat as fast as possible, fresh value shown after").arg(count),
        showUs < 0 ? QStringLiteral("not within %1 s").arg(m_options.latestStateTimeoutMs / 1000)
                   : QStringLiteral("%1 ms (%2 sends)").arg(fmt(showUs / 1000.0)).arg(sends));
    add(section, QStringLiteral("PSS growth: peak / 2 s later"),
        QStringLiteral("+%1 / +%2 MiB")
                .arg(fmt(mib(peakDuring - before)), fmt(mib(after - before))) +
            (warning.isEmpty() ? QString() : QStringLiteral("  !! ") + warning));
}

void Bench::runStream(const QString &kind)
{
    const QString section = QStringLiteral("stream_") + kind;
    WebProcess *page = m_main.get();
    const quint16 peer = m_server.peerOf(QStringLiteral("bench1"));
    const bool live = kind == QLatin1String("update_live");
    const qint64 count = qint64(m_options.streamRate) * m_options.streamMs / 1000;
    const qint64 base = live ? 20000000 : 30000000;
    auto make = [live, base, count](qint64 i) {
        // The last datagram of the stream is the state the page must end in.
        const qint64 value = i == count - 1 ? base + count + 7 : base + i;
        return live ? liveDatagram(value) : statDatagram(value);
    };
    const QString watchId = live ? QStringLiteral("call_bar_1") : QStringLiteral("team_surveys");
    // A bar shows its answer as text: a large number would read as "2e+07", so
    // the answer is a text that carries the number.
    auto shownText = [live](qint64 value) {
        return (live ? QStringLiteral("v") : QString()) + QString::number(value);
    };
    // The first datagram of a kind changes the window itself (a call grows it),
    // which costs memory once whatever the rate: the growth counts from that state.
    int primeSends = 0;
    const qint64 primeValue = base - 1;
    showFresh(page, peer, live ? liveDatagram(primeValue) : statDatagram(primeValue), watchId,
              shownText(primeValue), wallUs(), &primeSends);
    pause(2000);
    const qint64 before = treePss({page});
    const QJsonObject memoryBefore = memoryDetail(page);
    const StreamStats stats = stream(peer, count, m_options.streamRate, make, nullptr, page);
    const qint64 last = base + count + 7;
    int sends = 0;
    // A stream cut short by the growth cap still ends with its final state.
    const qint64 showUs =
        showFresh(page, peer, make(count - 1), watchId, shownText(last), stats.lastSendUs, &sends);
    const qint64 peak = qMax(stats.peakPssKiB, treePss({page}));
    pause(2000);
    const qint64 after = treePss({page});
    const QJsonObject memoryAfter = memoryDetail(page);
    const QString warning = memoryNote();
    if (stats.capped)
        add(section, QStringLiteral("stream stopped early"),
            QStringLiteral("after %1 datagrams: the tree grew by more than %2 MiB")
                .arg(stats.sent)
                .arg(m_options.growthCapKiB / 1024));
    m_json.insert(section, QJsonObject{{QStringLiteral("rate"), m_options.streamRate},
                                       {QStringLiteral("stopped_by_growth_cap"), stats.capped},
                                       {QStringLiteral("seconds"), m_options.streamMs / 1000.0},
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
    add(section,
        QStringLiteral(
            "%1/s for %2 s: PSS growth peak / 2 s later (from the first datagram's state)")
            .arg(m_options.streamRate)
            .arg(m_options.streamMs / 1000),
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
    add(section, QStringLiteral("growth 2 s later by kind (MiB; DOM nodes)"),
        growth.join(QStringLiteral(", ")));
    add(section, QStringLiteral("latest state shown after the stream stopped"),
        showUs < 0 ? QStringLiteral("not within %1 s").arg(m_options.latestStateTimeoutMs / 1000)
                   : QStringLiteral("%1 ms (%2 sends)").arg(fmt(showUs / 1000.0)).arg(sends));
}

// True once the process has exited (a zombie waiting to be reaped counts).
bool hasExited(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) == "Z";
}

void Bench::runSigterm()
{
    const QString section = QStringLiteral("sigterm");
    WebProcess *page = m_main.get();
    const quint16 peer = m_server.peerOf(QStringLiteral("bench1"));
    const int pid = page->pid();
    const int rate = m_options.streamRate;
    const qint64 leadNs = (m_options.quick ? 1 : 3) * 1000000000LL;
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
    stream(
        peer, count, rate, [](qint64 i) { return liveDatagram(40000000 + i); }, nullptr, nullptr,
        stop);
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
    m_json.insert(section, QJsonObject{{QStringLiteral("stream_rate"), rate},
                                       {QStringLiteral("exit_ms"),
                                        std::isnan(ms) ? QJsonValue() : QJsonValue(ms)},
                                       {QStringLiteral("exit_code"), code},
                                       {QStringLiteral("log_last_line"), lastLine},
                                       {QStringLiteral("within_2s_clean"), pass}});
    add(section, QStringLiteral("SIGTERM during %1/s update_live").arg(rate),
        QStringLiteral("%1: ended after %2 ms, exit code %3, log ends \"%4\"")
            .arg(pass ? QStringLiteral("yes") : QStringLiteral("NO"), fmt(ms, 0))
            .arg(code)
            .arg(lastLine.section(QLatin1Char('\t'), -1)));
}

void Bench::print()
{
    int width = 0;
    for (const Row &row : m_rows)
        width = qMax(width, int(row.metric.size()));
    QString section;
    out << Qt::endl;
    if (!m_foreign.isEmpty()) {
        out << "!!! MEMORY FIGURES ARE UNRELIABLE: other Qt WebEngine processes ran during the "
               "bench"
            << " (PSS splits their shared pages with ours) !!!" << Qt::endl;
    }
    for (const Row &row : m_rows) {
        if (row.section != section) {
            section = row.section;
            out << Qt::endl << "[" << section << "]" << Qt::endl;
        }
        out << "  " << row.metric.leftJustified(width) << "  " << row.value << Qt::endl;
    }
    out << Qt::endl;
}

int Bench::run()
{
    if (!m_dir.isValid())
        return 2;
    // Other users' programs must reach their homes inside.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ExeGroup | QFile::ExeOther);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        note(QStringLiteral("no DISPLAY: run it through scripts/bench.sh or scripts/with-xvfb.sh"));
        return 2;
    }

    m_serverOption = probeServerOption();
    quint16 port = 0;
    if (!m_serverOption) {
        // The server address is built in: take the fixed port, waiting for
        // anyone else who holds it (the end-to-end tests take the same lock).
        port = 49999;
        m_lockFd = ::open("/tmp/brellow-49999.lock", O_CREAT | O_RDWR, 0666);
        if (m_lockFd >= 0)
            flock(m_lockFd, LOCK_EX);
    }
    if (!m_server.listen(port)) {
        note(QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                 .arg(port)
                 .arg(m_server.errorString()));
        return 2;
    }
    m_json.insert(QStringLiteral("brellow"), m_options.brellow);
    m_json.insert(QStringLiteral("server"), QStringLiteral("127.0.0.1:%1 (%2)")
                                                .arg(m_server.port())
                                                .arg(m_serverOption ? QStringLiteral("--server")
                                                                    : QStringLiteral("built in")));
    m_json.insert(QStringLiteral("quick"), m_options.quick);
    QJsonObject env;
    for (const QString &key : m_options.env.keys())
        env.insert(key, m_options.env.value(key));
    m_json.insert(QStringLiteral("env"), env);
    const QList<int> othersAtStart = ProcStats::otherWebEngineProcesses({});
    for (const int pid : othersAtStart)
        m_foreign.insert(pid);
    add(QStringLiteral("setup"), QStringLiteral("server"),
        m_json.value(QStringLiteral("server")).toString());
    add(QStringLiteral("setup"), QStringLiteral("other Qt WebEngine processes at start"),
        othersAtStart.isEmpty() ? QStringLiteral("none") : QString::number(othersAtStart.size()));

    if (wanted(QStringLiteral("startup")))
        runStartup();
    // Before any brellow runs: the view's shared pages must not be split with one.
    if (wanted(QStringLiteral("memory")))
        runBareMemory();

    using Phase = std::function<void()>;
    const QList<QPair<QString, Phase>> phases{
        {QStringLiteral("memory"), [this] { runMemory(); }},
        {QStringLiteral("cpu"), [this] { runCpu(); }},
        {QStringLiteral("latency"), [this] { runLatency(); }},
        {QStringLiteral("burst"), [this] { runBurst(); }},
        {QStringLiteral("stream"), [this] { runStream(QStringLiteral("update_live")); }},
        {QStringLiteral("stream"), [this] { runStream(QStringLiteral("update_stat")); }},
        {QStringLiteral("sigterm"), [this] { runSigterm(); }},
    };
    for (const auto &phase : phases) {
        if (wanted(phase.first) && readyMain())
            phase.second();
    }
    m_main.reset();
    qDeleteAll(m_extra);
    m_extra.clear();
    for (const QString &user : m_createdUsers)
        QProcess::execute(QStringLiteral("userdel"), {user});

    m_json.insert(QStringLiteral("memory_reliable"), m_foreign.isEmpty());
    QJsonArray foreign;
    for (const int pid : m_foreign)
        foreign.append(pid);
    m_json.insert(QStringLiteral("other_webengine_pids"), foreign);
    print();
    QFile json(m_options.jsonPath);
    if (json.open(QIODevice::WriteOnly)) {
        json.write(QJsonDocument(m_json).toJson());
        out << "Results written to " << QFileInfo(json).absoluteFilePath() << Qt::endl;
    }
    return 0;
}

QProcessEnvironment parseEnv(const QStringList &pairs, bool *ok)
{
    QProcessEnvironment env;
    *ok = true;
    for (const QString &pair : pairs) {
        const int eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            *ok = false;
            continue;
        }
        env.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return env;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brellow-bench"));
    const QStringList allSections{QStringLiteral("startup"), QStringLiteral("memory"),
                                  QStringLiteral("cpu"),     QStringLiteral("latency"),
                                  QStringLiteral("burst"),   QStringLiteral("stream"),
                                  QStringLiteral("sigterm")};
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures the real brellow from outside: start-up against a bare web view, "
                       "memory of its process "
                       "tree alone and beside other users' instances, idle CPU, datagram-to-page "
                       "latency, bursts and "
                       "streams of datagrams, and SIGTERM under load. Needs an X display; root to "
                       "create the other users."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("quick"), QStringLiteral("Shorter runs, for development.")},
        {QStringLiteral("brellow"), QStringLiteral("The brellow binary to measure."),
         QStringLiteral("path"), QStringLiteral(BRELLOW_PATH)},
        {QStringLiteral("bareview"), QStringLiteral("The bare web view binary."),
         QStringLiteral("path"), QStringLiteral(BAREVIEW_PATH)},
        {QStringLiteral("env"), QStringLiteral("Extra environment for brellow (repeatable)."),
         QStringLiteral("NAME=VALUE")},
        {QStringLiteral("bare-env"),
         QStringLiteral("Extra environment for the bare view (repeatable)."),
         QStringLiteral("NAME=VALUE")},
        {QStringLiteral("only"),
         QStringLiteral("Comma-separated sections: %1.").arg(allSections.join(QLatin1Char(','))),
         QStringLiteral("list")},
        {QStringLiteral("json"), QStringLiteral("Where to write the results."),
         QStringLiteral("file"), QStringLiteral("bench-results.json")},
        {QStringLiteral("stream-seconds"),
         QStringLiteral("Length of each sustained stream (default 60, quick 5)."),
         QStringLiteral("s")},
        {QStringLiteral("users"),
         QStringLiteral("Further brellows, each as another user (default 3, quick 1)."),
         QStringLiteral("n")},
    });
    parser.process(app);

    Options options;
    options.quick = parser.isSet(QStringLiteral("quick"));
    if (options.quick) {
        options.users = 1;
        options.startupRuns = 3;
        options.settleMs = 5000;
        options.idleMs = 10000;
        options.latencyMs = 3000;
        options.streamMs = 5000;
        options.latestStateTimeoutMs = 30000;
    }
    options.brellow = parser.value(QStringLiteral("brellow"));
    options.bareview = parser.value(QStringLiteral("bareview"));
    options.jsonPath = parser.value(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("stream-seconds")))
        options.streamMs = parser.value(QStringLiteral("stream-seconds")).toInt() * 1000;
    if (parser.isSet(QStringLiteral("users")))
        options.users = parser.value(QStringLiteral("users")).toInt();
    bool ok = false;
    options.env = parseEnv(parser.values(QStringLiteral("env")), &ok);
    bool bareOk = false;
    options.bareEnv = parseEnv(parser.values(QStringLiteral("bare-env")), &bareOk);
    if (!ok || !bareOk) {
        note(QStringLiteral("--env and --bare-env take NAME=VALUE"));
        return 2;
    }
    const QStringList only =
        parser.isSet(QStringLiteral("only"))
            ? parser.value(QStringLiteral("only")).split(QLatin1Char(','), Qt::SkipEmptyParts)
            : allSections;
    for (const QString &section : only) {
        if (!allSections.contains(section)) {
            note(QStringLiteral("unknown section %1").arg(section));
            return 2;
        }
        options.sections.insert(section);
    }
    return Bench(options).run();
}
