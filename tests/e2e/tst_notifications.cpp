#include <tests/support/fakenotifications.h>
#include <tests/support/privatebus.h>
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <vector>

using namespace Brellow;
using namespace DesktopDriver;
using UiTest::FakeNotifications;
using UiTest::PrivateBus;

// The desktop notifications of the real brellow hidden to the tray, on a desk
// with a window manager (openbox) and a panel with a tray (tint2), a session bus
// of the test's own and the practice server, which stops answering, ends its
// sessions and comes back as a real one does.
class TestNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void notifiesOnlyWhileHidden();
    void withoutServiceCarriesOn();

private:
    struct Instance
    {
        std::unique_ptr<QTemporaryDir> home;
        std::unique_ptr<LoggedProcess> process;
        QString window;
        QRect geometry;
        QString logText() const;
        int count(const QString &line) const { return int(logText().count('\t' + line)); }
        // Waits until the log holds `line` (after the time's tab) more than `before` times.
        bool waitFor(const QString &line, int before, int timeoutMs = 15000) const;
    };

    QProcess *startHelper(const QString &program, const QStringList &args);
    bool startSim();
    // Lets a server frozen by SIGSTOP run again.
    void continueSim();
    bool startBrellow(Instance &brellow, const PrivateBus &bus);
    bool logIn(Instance &brellow);
    // Closed as from a task switcher or Alt+F4: with a tray, it hides.
    bool hideToTray(const Instance &brellow);
    bool showFromTray(const Instance &brellow);
    // The server ends every session ("shutdown_ack") and leaves; back at once on
    // the same port, it takes the session again when Brellow asks.
    bool sessionEndedAndResumed(const Instance &brellow);

    std::vector<QProcess *> m_helpers;
    std::unique_ptr<LoggedProcess> m_sim;
    quint16 m_port = 0;
};

namespace {

const QString User = QStringLiteral("demo");

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    ChildProcess::dieWithParent(p);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString trayIcon()
{
    QString found;
    [[maybe_unused]] const bool ok = QTest::qWaitFor(
        [&] {
            for (const QString &id : brellowWindows()) {
                const QRect r = windowGeometry(id);
                if (!r.isEmpty() && r.width() <= 64 && r.height() <= 64) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        10000);
    return found;
}

QString describe(const QList<FakeNotifications::Call> &calls)
{
    QStringList lines;
    for (const FakeNotifications::Call &call : calls)
        lines << QStringLiteral("%1 (replaces %2, id %3)")
                     .arg(call.summary)
                     .arg(call.replacesId)
                     .arg(call.id);
    return lines.join('\n');
}

} // namespace

QString TestNotifications::Instance::logText() const
{
    QFile log(home->filePath("config/Brellow/brellow.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

bool TestNotifications::Instance::waitFor(const QString &line, int before, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return count(line) > before; }, timeoutMs);
}

QProcess *TestNotifications::startHelper(const QString &program, const QStringList &args)
{
    auto *helper = new QProcess(this);
    ChildProcess::dieWithParent(*helper);
    m_helpers.push_back(helper);
    helper->setStandardOutputFile(QProcess::nullDevice());
    helper->setStandardErrorFile(QProcess::nullDevice());
    helper->start(program, args);
    return helper;
}

bool TestNotifications::startSim()
{
    m_sim = std::make_unique<LoggedProcess>();
    m_port = startPracticeServer(*m_sim, BRELLOW_SIM_PATH, m_port, {"--idle-timeout", "0"});
    return m_port != 0;
}

void TestNotifications::continueSim()
{
    if (m_sim && m_sim->process().state() == QProcess::Running)
        ::kill(pid_t(m_sim->process().processId()), SIGCONT);
}

void TestNotifications::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under an X server");
    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY(startHelper("tint2", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("_NET_SYSTEM_TRAY_S0"), 10000);
    // A free port, kept for the server's restarts.
    QVERIFY(startSim());
}

void TestNotifications::cleanupTestCase()
{
    if (m_sim) {
        continueSim();
        m_sim->terminate();
    }
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000))
            (*it)->kill();
        (*it)->waitForFinished(5000);
    }
}

bool TestNotifications::startBrellow(Instance &brellow, const PrivateBus &bus)
{
    brellow.home = std::make_unique<QTemporaryDir>();
    if (!brellow.home->isValid() || !QDir(brellow.home->path()).mkpath("run"))
        return false;
    QFile::setPermissions(brellow.home->filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = brellowEnvironment(brellow.home->path());
    bus.addTo(env);
    brellow.process = std::make_unique<LoggedProcess>();
    brellow.process->process().setProcessEnvironment(env);
    brellow.process->process().start(BRELLOW_PATH,
                                     {"--server", QStringLiteral("127.0.0.1:%1").arg(m_port)});
    if (!brellow.process->process().waitForStarted())
        return false;
    brellow.window = findMainWindow();
    if (brellow.window.isEmpty())
        return false;
    brellow.geometry = waitForWindowSize(
        brellow.window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 15000);
    return !brellow.geometry.isNull() && waitForFace(brellow.geometry);
}

bool TestNotifications::logIn(Instance &brellow)
{
    typeLogin(brellow.geometry, User, "demo");
    return brellow.waitFor("login accepted for user " + User, 0);
}

bool TestNotifications::hideToTray(const Instance &brellow)
{
    run("wmctrl", {"-i", "-c", brellow.window});
    return QTest::qWaitFor([] { return findMainWindow(0).isEmpty(); }, 10000);
}

bool TestNotifications::showFromTray(const Instance &brellow)
{
    const QString icon = trayIcon();
    if (icon.isEmpty())
        return false;
    run("xdotool", {"mousemove", "--window", icon, "4", "4", "click", "1"});
    return QTest::qWaitFor([&] { return findMainWindow(0) == brellow.window; }, 10000);
}

bool TestNotifications::sessionEndedAndResumed(const Instance &brellow)
{
    const int ended = brellow.count("session ended by the server");
    const int resumed = brellow.count("session resumed for user " + User);
    if (!m_sim->terminate() || !brellow.waitFor("session ended by the server", ended))
        return false;
    return startSim() && brellow.waitFor("session resumed for user " + User, resumed, 60000);
}

void TestNotifications::notifiesOnlyWhileHidden()
{
    PrivateBus bus;
    QVERIFY2(bus.start(), qPrintable(bus.error()));
    const std::shared_ptr<FakeNotifications::Log> notifications = FakeNotifications::run(bus);
    Instance brellow;
    QVERIFY2(startBrellow(brellow, bus), "brellow did not start");
    QVERIFY2(logIn(brellow), qPrintable(brellow.logText()));

    // In sight, the window says it itself: the server ends the session and takes
    // it back, and the desktop hears nothing. Whatever Brellow sent now would come
    // before the notifications below, on the one connection.
    QVERIFY2(sessionEndedAndResumed(brellow), qPrintable(brellow.logText()));

    // Hidden, the server stops answering (frozen, its socket kept): after three
    // unanswered pings the connection counts as lost.
    QVERIFY(hideToTray(brellow));
    // A failed check must not leave it frozen for the next test.
    const auto thaw = qScopeGuard([this] { continueSim(); });
    ::kill(pid_t(m_sim->process().processId()), SIGSTOP);
    QVERIFY2(brellow.waitFor("connection lost", 0, 60000), qPrintable(brellow.logText()));
    QTRY_COMPARE_WITH_TIMEOUT(notifications->calls().size(), 1, 10000);
    // The agent closes it; the next one gets a new id.
    notifications->dismissAll();

    // In sight again, the server answers again: nothing for the desktop (it would
    // come between the first notification and the next).
    QVERIFY(showFromTray(brellow));
    continueSim();
    QVERIFY2(brellow.waitFor("connection back", 0), qPrintable(brellow.logText()));

    // Hidden, the server ends the session, Brellow logs in again by itself.
    QVERIFY(hideToTray(brellow));
    QVERIFY2(sessionEndedAndResumed(brellow), qPrintable(brellow.logText()));
    QTRY_COMPARE_WITH_TIMEOUT(notifications->calls().size(), 3, 10000);

    const QList<FakeNotifications::Call> calls = notifications->calls();
    const QList<std::pair<QString, QString>> expected = {
        {"Connection to the server lost",
         "Your figures are greyed until the server answers again."},
        {"The server ended your session",
         "Brellow is logging you in again; there is nothing to type."},
        {"Logged in again", "The server has taken your session back."}};
    QCOMPARE(calls.size(), expected.size());
    for (qsizetype i = 0; i < calls.size(); ++i) {
        const FakeNotifications::Call &call = calls.at(i);
        QVERIFY2(call.summary == expected.at(i).first && call.body == expected.at(i).second,
                 qPrintable(describe(calls)));
        QCOMPARE(call.appName, QStringLiteral("Brellow"));
        // The program's icon as the package installs it, and its desktop file.
        QCOMPARE(call.appIcon, QStringLiteral("brellow"));
        QCOMPARE(call.hints.value("desktop-entry").toString(), QStringLiteral("brellow"));
        // Each one replaces the one before, by the id the service gave it.
        QVERIFY2(call.replacesId == (i == 0 ? 0u : calls.at(i - 1).id),
                 qPrintable(describe(calls)));
    }
    // The first was closed by the agent, so the second got an id of its own.
    QVERIFY(calls.at(1).id != calls.at(0).id);

    QVERIFY(brellow.process->terminate(15000));
    QCOMPARE(brellow.process->process().exitCode(), 0);
}

void TestNotifications::withoutServiceCarriesOn()
{
    // A session bus on which nobody shows notifications, and what goes over it.
    PrivateBus bus;
    QVERIFY2(bus.start(), qPrintable(bus.error()));
    LoggedProcess monitor;
    monitor.process().start("dbus-monitor",
                            {"--address", bus.address(),
                             "type='method_call',interface='org.freedesktop.Notifications'",
                             "type='error'"});
    QVERIFY2(monitor.process().waitForStarted(), "dbus-monitor is not installed");
    // Monitoring from here on: it gave up its own name for it.
    QVERIFY(monitor.waitForLine(QRegularExpression("member=NameLost$")) >= 0);

    Instance brellow;
    QVERIFY2(startBrellow(brellow, bus), "brellow did not start");
    QVERIFY2(logIn(brellow), qPrintable(brellow.logText()));
    QVERIFY(hideToTray(brellow));
    QVERIFY2(sessionEndedAndResumed(brellow), qPrintable(brellow.logText()));

    // Both notices were asked for, and the bus answered each with an error.
    QStringList notifies;
    QStringList refused;
    const auto exchange = [&] {
        static const QRegularExpression call(
            R"(^method call .* sender=(\S+) -> destination=org\.freedesktop\.Notifications )"
            R"(serial=(\d+) .*member=Notify$)");
        static const QRegularExpression error(
            R"(^error .* -> destination=(\S+) error_name=(\S+) reply_serial=(\d+)$)");
        notifies.clear();
        refused.clear();
        QStringList calls;
        for (const QString &line : monitor.lines()) {
            const QRegularExpressionMatch c = call.match(line);
            if (c.hasMatch()) {
                notifies << line;
                calls << c.captured(1) + ' ' + c.captured(2);
            }
            const QRegularExpressionMatch e = error.match(line);
            if (e.hasMatch() && calls.contains(e.captured(1) + ' ' + e.captured(3)))
                refused << e.captured(2);
        }
        return refused.size();
    };
    QTRY_COMPARE_WITH_TIMEOUT(exchange(), 2, 10000);
    QCOMPARE(notifies.size(), 2);
    QCOMPARE(refused, QStringList(2, "org.freedesktop.DBus.Error.ServiceUnknown"));

    // Brellow goes on: its session is back, and a click on its tray icon shows it.
    QVERIFY(showFromTray(brellow));
    QCOMPARE(brellow.process->process().state(), QProcess::Running);
    // The log says it once, not at each notice.
    const QStringList said =
        brellow.logText().split('\n').filter("\tdesktop notification not shown: ");
    QCOMPARE(said.size(), 1);
    qInfo("%s", qPrintable(said.first().section('\t', 1)));

    QVERIFY(brellow.process->terminate(15000));
    QCOMPARE(brellow.process->process().exitCode(), 0);
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestNotifications test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notifications.moc"
