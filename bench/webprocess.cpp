#include "webprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QTcpServer>
#include <QTimer>

#include <csignal>
#include <ctime>

qint64 wallUs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int freeTcpPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

namespace {

// Lets the event loop run for a moment between two polls.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

WebProcess::WebProcess(QObject *parent) : QObject(parent), m_cdp(this)
{
    m_process.setStandardOutputFile(QProcess::nullDevice());
}

WebProcess::~WebProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        terminate(5000);
}

QString WebProcess::configHome() const
{
    return m_home + QStringLiteral("/.config");
}

bool WebProcess::start(const QString &program, const QStringList &arguments, const QString &home,
                       const QProcessEnvironment &env, const Account &account)
{
    m_home = home;
    m_port = freeTcpPort();
    // Qt refuses a runtime folder others can read.
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The engine talks a lot on standard error; kept beside the home, shown when it fails.
    m_process.setStandardErrorFile(home + QStringLiteral("/stderr.log"));
    QProcessEnvironment full = QProcessEnvironment::systemEnvironment();
    full.insert(QStringLiteral("HOME"), home);
    full.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    full.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    full.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    full.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    full.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    full.insert(QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"),
                QStringLiteral("127.0.0.1:%1").arg(m_port));
    if (!account.name.isEmpty()) {
        full.insert(QStringLiteral("USER"), account.name);
        full.insert(QStringLiteral("LOGNAME"), account.name);
        full.insert(QStringLiteral("XAUTHORITY"), home + QStringLiteral("/.Xauthority"));
    }
    const QStringList keys = env.keys();
    for (const QString &key : keys)
        full.insert(key, env.value(key));
    m_process.setProcessEnvironment(full);

    QString command = program;
    QStringList args = arguments;
    if (!account.name.isEmpty()) {
        // setpriv replaces itself with the program, so the pid stays the program's.
        command = QStringLiteral("setpriv");
        args = QStringList{QStringLiteral("--reuid=%1").arg(account.uid),
                           QStringLiteral("--regid=%1").arg(account.gid),
                           QStringLiteral("--clear-groups"), QStringLiteral("--"), program} +
               arguments;
    }
    m_startedAtUs = wallUs();
    m_process.start(command, args);
    if (!m_process.waitForStarted(10000)) {
        m_error = m_process.errorString();
        return false;
    }
    return true;
}

QString WebProcess::stderrTail() const
{
    QFile file(m_home + QStringLiteral("/stderr.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    return QStringLiteral("its standard error ended: ") +
           QString::fromLocal8Bit(lines.mid(qMax(0, int(lines.size()) - 5)).join(" | "));
}

int WebProcess::pid() const
{
    return int(m_process.processId());
}

qint64 WebProcess::waitForLoadedPage(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QString url;
    while (url.isEmpty()) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("the page never appeared at the debugging endpoint; %1")
                          .arg(stderrTail());
            return -1;
        }
        const QJsonArray list = CdpClient::targets(m_port, 500);
        for (const QJsonValue &value : list) {
            const QJsonObject target = value.toObject();
            if (target.value(QStringLiteral("type")).toString() == QLatin1String("page") &&
                target.value(QStringLiteral("url"))
                    .toString()
                    .endsWith(QLatin1String("index.html"))) {
                url = target.value(QStringLiteral("webSocketDebuggerUrl")).toString();
            }
        }
        if (url.isEmpty())
            pause(5);
    }
    if (!m_cdp.isOpen() && !m_cdp.open(url, qMax<qint64>(1, deadline.remainingTime()))) {
        m_error = QStringLiteral("cannot open the page's debugging socket");
        return -1;
    }
    // document.readyState is readable from any world; until one is known, the
    // main world is tried and, if the page keeps it shut, a world of our own.
    if (!prepareWorld())
        return -1;
    while (!deadline.hasExpired()) {
        bool ok = false;
        const QJsonValue state = evaluate(QStringLiteral("document.readyState"), &ok, 2000);
        const qint64 seen = wallUs();
        if (ok && state.toString() == QLatin1String("complete"))
            return seen;
        if (!ok) {
            // The document was replaced and the world with it: make a new one.
            m_contextId = 0;
            if (!prepareWorld())
                return -1;
        }
        pause(2);
    }
    m_error = QStringLiteral("the page never completed loading");
    return -1;
}

bool WebProcess::prepareWorld()
{
    bool ok = false;
    const QJsonValue two = m_cdp.evaluate(QStringLiteral("1+1"), 0, 5000, &ok);
    if (ok && two.toInt() == 2) {
        m_contextId = 0;
        m_worldDescription = QStringLiteral("main world");
        return true;
    }
    m_mainWorldError = m_cdp.error();
    if (!prepareIsolatedWorld())
        return false;
    m_worldDescription =
        QStringLiteral("isolated world (main world refused: %1)").arg(m_mainWorldError);
    return true;
}

bool WebProcess::prepareIsolatedWorld()
{
    const QJsonObject tree = m_cdp.call(QStringLiteral("Page.getFrameTree"));
    const QString frameId = tree.value(QStringLiteral("frameTree"))
                                .toObject()
                                .value(QStringLiteral("frame"))
                                .toObject()
                                .value(QStringLiteral("id"))
                                .toString();
    if (frameId.isEmpty()) {
        m_error = QStringLiteral("no frame: %1").arg(m_cdp.error());
        return false;
    }
    const QJsonObject world =
        m_cdp.call(QStringLiteral("Page.createIsolatedWorld"),
                   {{QStringLiteral("frameId"), frameId},
                    {QStringLiteral("worldName"), QStringLiteral("brellow-bench")}});
    m_contextId = world.value(QStringLiteral("executionContextId")).toInt();
    if (m_contextId <= 0) {
        m_error = QStringLiteral("cannot create a world: %1").arg(m_cdp.error());
        return false;
    }
    return true;
}

QJsonValue WebProcess::evaluate(const QString &expression, bool *ok, int timeoutMs)
{
    bool good = false;
    const QJsonValue value = m_cdp.evaluate(expression, m_contextId, timeoutMs, &good);
    if (!good)
        m_error = m_cdp.error();
    if (ok)
        *ok = good;
    return value;
}

bool WebProcess::waitFor(const QString &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        bool ok = false;
        if (evaluate(condition, &ok, 2000).toBool() && ok)
            return true;
        pause(10);
    }
    m_error = QStringLiteral("timed out waiting for %1").arg(condition);
    return false;
}

qint64 WebProcess::terminate(int timeoutMs)
{
    m_cdp.close();
    if (m_process.state() == QProcess::NotRunning)
        return 0;
    const qint64 start = wallUs();
    ::kill(pid(), SIGTERM);
    if (m_process.waitForFinished(timeoutMs))
        return (wallUs() - start) / 1000;
    m_process.kill();
    m_process.waitForFinished(5000);
    return -1;
}
