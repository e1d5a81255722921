#include <tools/desktopdriver.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <tools/childprocess.h>

#include <xcb/xcb.h>

#include <csignal>
#include <memory>
#include <vector>

// The real brellow on a private X server with the parts of a real desktop around
// it: a window manager (openbox), a panel with a system tray (tint2), a
// compositor (xcompmgr) and a Wayland compositor (weston, headless).
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void windowManagerKeepsWindowOffTaskbarOnEveryWorkspace();
    void closeWithoutTrayEndsBrellow();
    void closeWithTrayHidesAndSecondStartRaises();
    void lockOfKilledInstanceDoesNotBlock();
    void cornersShowTheDesktop_data();
    void cornersShowTheDesktop();
    void waylandSessionPrefersX_data();
    void waylandSessionPrefersX();

private:
    QProcessEnvironment brellowEnvironment() const;
    QProcess *startBrellow(const QProcessEnvironment &env, const QStringList &args = {});
    QProcess *
    startHelper(const QString &program, const QStringList &args,
                const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    void stopHelpers();
    QString logText() const;
    QString configFile(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<QProcess *> m_helpers;
    std::vector<QProcess *> m_brellows;
    QProcess *m_weston = nullptr;
    QString m_waylandSocket;
    QTemporaryDir m_westonDir;
};

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    ChildProcess::dieWithParent(p);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

xcb_connection_t *x11()
{
    const auto *native = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return native ? native->connection() : nullptr;
}

using DesktopDriver::selectionOwned;

// Brellow's main window, by class and title: its tray icon is a window of the
// same class.
QStringList visibleBrellowWindows()
{
    QStringList windows;
    const QString ids =
        run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--classname", "^brellow$"});
    for (const QString &id : ids.split('\n', Qt::SkipEmptyParts)) {
        if (run(QStringLiteral("xdotool"), {"getwindowname", id}) == QLatin1String("Brellow"))
            windows << id;
    }
    return windows;
}

QString waitForBrellowWindow(int timeoutMs = 20000)
{
    QStringList ids;
    [[maybe_unused]] const bool found = QTest::qWaitFor(
        [&] {
            ids = visibleBrellowWindows();
            return !ids.isEmpty();
        },
        timeoutMs);
    return ids.isEmpty() ? QString() : ids.first();
}

QString windowProperty(const QString &window, const QString &name)
{
    return run(QStringLiteral("xprop"), {"-id", window, name});
}

QString mapState(const QString &window)
{
    const QString info = run(QStringLiteral("xwininfo"), {"-id", window});
    for (const QString &line : info.split('\n')) {
        if (line.trimmed().startsWith("Map State:"))
            return line.section(':', 1).trimmed();
    }
    return {};
}

QRect windowRect(const QString &window)
{
    const QString info = run(QStringLiteral("xwininfo"), {"-id", window});
    int x = -1, y = -1, w = 0, h = 0;
    for (const QString &line : info.split('\n')) {
        const QString key = line.section(':', 0, 0).trimmed();
        const int value = line.section(':', 1).trimmed().toInt();
        if (key == "Absolute upper-left X")
            x = value;
        else if (key == "Absolute upper-left Y")
            y = value;
        else if (key == "Width")
            w = value;
        else if (key == "Height")
            h = value;
    }
    return QRect(x, y, w, h);
}

QImage grab(const QRect &area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

int colourDistance(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

} // namespace

void TestDesktop::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == "xcb", "run under scripts/with-xvfb.sh");
    QVERIFY(x11());
    QVERIFY(m_westonDir.isValid());
}

void TestDesktop::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir("run"));
    QVERIFY(QFile::setPermissions(m_dir->filePath("run"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestDesktop::cleanup()
{
    for (QProcess *brellow : m_brellows) {
        if (brellow->state() != QProcess::NotRunning) {
            ::kill(pid_t(brellow->processId()), SIGTERM);
            if (!brellow->waitForFinished(10000))
                brellow->kill();
            brellow->waitForFinished(5000);
        }
        delete brellow;
    }
    m_brellows.clear();
    stopHelpers();
    m_dir.reset();
}

void TestDesktop::cleanupTestCase()
{
    if (m_weston) {
        m_weston->terminate();
        if (!m_weston->waitForFinished(5000))
            m_weston->kill();
        m_weston->waitForFinished(5000);
        delete m_weston;
        m_weston = nullptr;
    }
}

QProcessEnvironment TestDesktop::brellowEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", m_dir->filePath("config"));
    env.insert("XDG_RUNTIME_DIR", m_dir->filePath("run"));
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        env.remove(name);
    return env;
}

QProcess *TestDesktop::startBrellow(const QProcessEnvironment &env, const QStringList &args)
{
    auto *brellow = new QProcess;
    ChildProcess::dieWithParent(*brellow);
    m_brellows.push_back(brellow);
    brellow->setProcessEnvironment(env);
    brellow->setProcessChannelMode(QProcess::ForwardedChannels);
    brellow->start(BRELLOW_PATH, args);
    return brellow;
}

QProcess *TestDesktop::startHelper(const QString &program, const QStringList &args,
                                   const QProcessEnvironment &env)
{
    auto *helper = new QProcess;
    ChildProcess::dieWithParent(*helper);
    m_helpers.push_back(helper);
    helper->setProcessEnvironment(env);
    // Their chatter is of no interest; unread pipes could stall them.
    helper->setStandardOutputFile(QProcess::nullDevice());
    helper->setStandardErrorFile(QProcess::nullDevice());
    helper->start(program, args);
    return helper;
}

void TestDesktop::stopHelpers()
{
    // Last started first: the tray before the window manager.
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        QProcess *helper = *it;
        helper->terminate();
        if (!helper->waitForFinished(5000))
            helper->kill();
        helper->waitForFinished(5000);
        delete helper;
    }
    m_helpers.clear();
    // Let the next test find a bare display.
    QTRY_VERIFY_WITH_TIMEOUT(!selectionOwned("WM_S0") && !selectionOwned("_NET_WM_CM_S0") &&
                                 !selectionOwned("_NET_SYSTEM_TRAY_S0"),
                             10000);
}

QString TestDesktop::configFile(const QString &name) const
{
    return m_dir->filePath("config/Brellow/" + name);
}

QString TestDesktop::logText() const
{
    QFile log(configFile("brellow.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll());
}

void TestDesktop::windowManagerKeepsWindowOffTaskbarOnEveryWorkspace()
{
    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);

    QProcess *brellow = startBrellow(brellowEnvironment());
    const QString window = waitForBrellowWindow();
    QVERIFY2(!window.isEmpty(), "no brellow window appeared");

    QTRY_VERIFY_WITH_TIMEOUT(
        windowProperty(window, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_PAGER"), 10000);
    const QString state = windowProperty(window, "_NET_WM_STATE");
    QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR"), qPrintable(state));
    QVERIFY2(state.contains("_NET_WM_STATE_ABOVE"), qPrintable(state));
    // On every workspace: the sticky state, or (openbox) the desktop number for all.
    const QString desktop = windowProperty(window, "_NET_WM_DESKTOP");
    QVERIFY2(state.contains("_NET_WM_STATE_STICKY") || desktop.endsWith("= 4294967295"),
             qPrintable(state + '\n' + desktop));
    QVERIFY(windowProperty(window, "_NET_WM_NAME").endsWith("= \"Brellow\""));
    QVERIFY(windowProperty(window, "WM_NAME").endsWith("= \"Brellow\""));

    // It stays in view when the agent switches workspace.
    QCOMPARE(run("wmctrl", {"-s", "1"}), QString());
    QTRY_VERIFY_WITH_TIMEOUT(run("xprop", {"-root", "_NET_CURRENT_DESKTOP"}).endsWith("= 1"), 5000);
    QCOMPARE(mapState(window), QStringLiteral("IsViewable"));
    QCOMPARE(brellow->state(), QProcess::Running);
}

void TestDesktop::closeWithoutTrayEndsBrellow()
{
    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());

    QProcess *brellow = startBrellow(brellowEnvironment());
    const QString window = waitForBrellowWindow();
    QVERIFY(!window.isEmpty());

    // The window manager's close, as from a task switcher or Alt+F4.
    run("wmctrl", {"-i", "-c", window});
    QVERIFY2(brellow->waitForFinished(15000), "closing the window did not end brellow");
    QCOMPARE(brellow->exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow->exitCode(), 0);
    const QStringList lines = logText().split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QVERIFY(lines.first().endsWith("\tstarted"));
    QVERIFY(lines.last().endsWith("\tterminated"));

    QFile settings(configFile("brellow.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("mainWindowGeometry="));
}

void TestDesktop::closeWithTrayHidesAndSecondStartRaises()
{
    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY(startHelper("tint2", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("_NET_SYSTEM_TRAY_S0"), 10000);

    const QProcessEnvironment env = brellowEnvironment();
    QProcess *first = startBrellow(env);
    const QString window = waitForBrellowWindow();
    QVERIFY(!window.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains("\tplatform xcb\n"), 10000);

    run("wmctrl", {"-i", "-c", window});
    QTRY_VERIFY_WITH_TIMEOUT(mapState(window) != "IsViewable", 10000);
    QVERIFY(!first->waitForFinished(500));
    QCOMPARE(first->state(), QProcess::Running);

    const QString logBefore = logText();
    QVERIFY(logBefore.contains("\tstarted\n"));

    QProcess *second = startBrellow(env);
    QVERIFY2(second->waitForFinished(20000), "the second start did not leave");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    // The first one's window is back, the only one, and still kept off the task bar.
    QTRY_COMPARE_WITH_TIMEOUT(mapState(window), QStringLiteral("IsViewable"), 10000);
    QCOMPARE(visibleBrellowWindows(), QStringList{window});
    QTRY_VERIFY_WITH_TIMEOUT(
        windowProperty(window, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"), 10000);
    QCOMPARE(first->state(), QProcess::Running);
    // The second start never opened the log.
    QVERIFY(logText().startsWith(logBefore));
    QCOMPARE(logText().count("\tstarted\n"), 1);
}

void TestDesktop::lockOfKilledInstanceDoesNotBlock()
{
    const QProcessEnvironment env = brellowEnvironment();
    QProcess *crashed = startBrellow(env);
    const QString window = waitForBrellowWindow();
    QVERIFY(!window.isEmpty());
    crashed->kill();
    QVERIFY(crashed->waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(visibleBrellowWindows().isEmpty(), 10000);
    // The crash left its lock file behind.
    QVERIFY(!QDir(m_dir->filePath("run")).entryList({"brellow*.lock"}, QDir::Files).isEmpty());

    QProcess *next = startBrellow(env);
    QVERIFY2(!waitForBrellowWindow().isEmpty(), "a stale lock kept brellow from starting");
    QCOMPARE(next->state(), QProcess::Running);
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains("\tstarted\n"), 5000);
}

void TestDesktop::cornersShowTheDesktop_data()
{
    QTest::addColumn<bool>("compositor");
    QTest::newRow("no compositor") << false;
    QTest::newRow("xcompmgr") << true;
}

void TestDesktop::cornersShowTheDesktop()
{
    QFETCH(bool, compositor);
    const QColor desktop("#4a6f8a");
    // This test's own connection keeps the X server from resetting the colour.
    QCOMPARE(ChildProcess::execute("xsetroot", {"-solid", desktop.name()}), 0);
    if (compositor) {
        QVERIFY(startHelper("xcompmgr", {})->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("_NET_WM_CM_S0"), 10000);
    }
    // Where the window sits on a first start.
    const QRect expected(778, 950, 364, 90);
    startBrellow(brellowEnvironment());
    QTRY_COMPARE_WITH_TIMEOUT(windowRect(waitForBrellowWindow()), expected, 20000);

    // The window with a 2 pixel margin of desktop around it; wait for the page,
    // whose header is white.
    const QRect area = expected.adjusted(-2, -2, 2, 2);
    const QPoint header(2 + 60, 2 + 3);
    QImage shot;
    QTRY_VERIFY_WITH_TIMEOUT(
        (shot = grab(area), colourDistance(shot.pixelColor(header), Qt::white) < 10), 20000);
    shot.save(m_dir->filePath("corners.png"));

    const int right = area.width() - 3;
    const int bottom = area.height() - 3;
    // The outermost pixel of each corner shows the desktop beside the window.
    const struct
    {
        QPoint inWindow;
        QPoint beside;
    } corners[] = {{{2, 2}, {0, 2}},
                   {{right, 2}, {right + 2, 2}},
                   {{2, bottom}, {0, bottom}},
                   {{right, bottom}, {right + 2, bottom}}};
    for (const auto &corner : corners) {
        const QColor seen = shot.pixelColor(corner.inWindow);
        const QColor desktop = shot.pixelColor(corner.beside);
        QVERIFY2(desktop != Qt::black, qPrintable(desktop.name()));
        QVERIFY2(colourDistance(seen, desktop) < 12,
                 qPrintable(QString("corner (%1,%2) shows %3 where the desktop shows %4")
                                .arg(corner.inWindow.x() - 2)
                                .arg(corner.inWindow.y() - 2)
                                .arg(seen.name(), desktop.name())));
        // One pixel further in, the rounded edge blends the white box with the
        // desktop, or shows the desktop alone: never anything darker.
        const QPoint inward = corner.inWindow + QPoint(corner.inWindow.x() == 2 ? 1 : -1,
                                                       corner.inWindow.y() == 2 ? 1 : -1);
        QVERIFY2(shot.pixelColor(inward).lightness() >= desktop.lightness() - 6,
                 qPrintable(shot.pixelColor(inward).name()));
    }
    // Inside the rounded outline the box is painted.
    QVERIFY(colourDistance(shot.pixelColor(2 + 6, 2 + 6), Qt::white) < 10);
    QVERIFY(colourDistance(shot.pixelColor(right - 6, 2 + 6), Qt::white) < 10);
}

void TestDesktop::waylandSessionPrefersX_data()
{
    QTest::addColumn<bool>("xDisplay");
    QTest::addColumn<QString>("qpaPlatform");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");

    QTest::newRow("XWayland there") << true << QString() << QStringList() << "xcb";
    QTest::newRow("no X display") << false << QString() << QStringList() << "wayland";
    QTest::newRow("chosen by variable") << true << "wayland" << QStringList() << "wayland";
    QTest::newRow("chosen by option")
        << true << QString() << QStringList{"-platform", "wayland"} << "wayland";
}

void TestDesktop::waylandSessionPrefersX()
{
    QFETCH(bool, xDisplay);
    QFETCH(QString, qpaPlatform);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);

    if (!m_weston) {
        // weston insists on a runtime folder of its own for its socket.
        QVERIFY(QFile::setPermissions(m_westonDir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_westonDir.path());
        m_weston = new QProcess;
        ChildProcess::dieWithParent(*m_weston);
        m_weston->setProcessEnvironment(env);
        m_weston->setStandardOutputFile(m_westonDir.filePath("weston.log"));
        m_weston->setStandardErrorFile(m_westonDir.filePath("weston.log"));
        m_weston->start("weston", {"--backend=headless-backend.so", "--socket=brellow-wl"});
        QVERIFY(m_weston->waitForStarted());
        m_waylandSocket = m_westonDir.filePath("brellow-wl");
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_waylandSocket).exists(), 10000);
    QCOMPARE(m_weston->state(), QProcess::Running);

    QProcessEnvironment env = brellowEnvironment();
    env.insert("WAYLAND_DISPLAY", m_waylandSocket);
    env.insert("XDG_SESSION_TYPE", "wayland");
    if (!xDisplay)
        env.remove("DISPLAY");
    if (!qpaPlatform.isEmpty())
        env.insert("QT_QPA_PLATFORM", qpaPlatform);
    QProcess *brellow = startBrellow(env, args);

    QTRY_VERIFY_WITH_TIMEOUT(logText().contains("\tplatform "), 20000);
    const QStringList platformLines =
        logText().split('\n').filter(QRegularExpression("\tplatform "));
    QCOMPARE(platformLines.size(), 1);
    QVERIFY2(platformLines.first().endsWith("\tplatform " + expected),
             qPrintable(platformLines.first()));
    if (expected == "xcb")
        QVERIFY2(!waitForBrellowWindow().isEmpty(), "no brellow window on the X display");
    else
        QVERIFY(visibleBrellowWindows().isEmpty());
    QCOMPARE(brellow->state(), QProcess::Running);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
