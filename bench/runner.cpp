#include "runner.h"

#include "benchutil.h"
#include "measure.h"
#include "procstats.h"

#include <net/messages.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTextStream>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace Bench {

namespace {
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
} // namespace

Runner::Runner(const Options &options) : m_options(options)
{
}

Runner::~Runner()
{
    clearExtras();
}

QStringList Runner::serverArguments() const
{
    if (!m_serverOption)
        return {};
    return {QStringLiteral("--server"), QStringLiteral("127.0.0.1:%1").arg(m_server.port())};
}

QString Runner::newHome()
{
    return m_dir.filePath(QStringLiteral("home%1").arg(++m_homes));
}

quint16 Runner::mainPeer() const
{
    return m_server.peerOf(QStringLiteral("bench1"));
}

void Runner::clearExtras()
{
    qDeleteAll(m_extra);
    m_extra.clear();
}

void Runner::add(const QString &section, const QString &metric, const QString &value)
{
    m_rows.append({section, metric, value});
    note(QStringLiteral("%1: %2 = %3").arg(section, metric, value));
}

QList<int> Runner::ourPids() const
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
QString Runner::memoryNote(const QList<int> &alsoOurs)
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

qint64 Runner::treePss(const QList<WebProcess *> &processes, QList<qint64> *each)
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

QJsonObject Runner::memoryDetail(WebProcess *page)
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

bool Runner::probeServerOption()
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

bool Runner::prepareUser(int index, WebProcess::Account *account)
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
Runner::startBrellow(const QString &username, const WebProcess::Account &account, QJsonObject *info,
                     const QProcessEnvironment &extraEnv)
{
    const QString home = newHome();
    QDir().mkpath(home + QStringLiteral("/.config/Brellow"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    // The saved user name is the one the bench types: Brellow fills it in when
    // the page has loaded, whichever comes first.
    QFile ini(home + QStringLiteral("/.config/Brellow/brellow.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write(QStringLiteral("[General]\nloginUsername=%1\n").arg(username).toUtf8());
    ini.close();

    QProcessEnvironment env = m_options.env;
    env.insert(extraEnv);
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

    const QStringList args = serverArguments();
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

bool Runner::logIn(WebProcess *brellow, const QString &username)
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

bool Runner::measureClockOffset(WebProcess *page, qint64 *offsetUs)
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

Runner::StreamStats Runner::stream(quint16 peer, qint64 count, int rate,
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

qint64 Runner::showFresh(WebProcess *page, quint16 peer, const QByteArray &datagram,
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

bool Runner::readyMain()
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

void Runner::print()
{
    QTextStream out(stdout);
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

int Runner::run()
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
        // The server address is built in: take the well-known port, waiting
        // for another bench run that holds it.
        port = Brellow::Messages::ServerPort;
        const QByteArray lockPath = "/tmp/brellow-" + QByteArray::number(port) + ".lock";
        m_lockFd = ::open(lockPath.constData(), O_CREAT | O_RDWR, 0666);
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

    // In the order of their places: the start-up and bare-view figures come before any
    // Brellow of the bench's own runs, so that none shares their pages.
    for (Measure *measure : Measure::all()) {
        if (wanted(measure->name()))
            measure->run(*this);
    }
    m_main.reset();
    clearExtras();
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
        QTextStream(stdout) << "Results written to " << QFileInfo(json).absoluteFilePath()
                            << Qt::endl;
    }
    return 0;
}

} // namespace Bench
