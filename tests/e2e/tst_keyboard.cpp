#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QVBoxLayout>

#include <memory>
#include <vector>

using namespace Brellow;
using namespace DesktopDriver;

// The keyboard on an agent's desk: the real brellow and the practice server as
// processes, on a private X server with a window manager (openbox) and a panel
// with a tray (tint2), and a window of the test's own standing in for the
// agent's customer system. Every key is a real X key event (xdotool).
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void agentKeepsTheKeyboardThroughACall_data();
    void agentKeepsTheKeyboardThroughACall();
    void boxOpenedWhileAwayLeavesTheKeyboard();
    void askingForBrellowGivesTheNeededField_data();
    void askingForBrellowGivesTheNeededField();
    void compactTabNeverReachesTheHiddenReason();

private:
    struct Instance
    {
        std::unique_ptr<QTemporaryDir> home;
        std::unique_ptr<LoggedProcess> process;
        QString window;
        QString logText() const;
    };

    QProcess *startHelper(const QString &program, const QStringList &args);
    bool startBrellow(Instance &brellow, quint16 port);
    void stopBrellow(Instance &brellow);
    QString trayIcon() const;
    QRect geometryOf(const Instance &brellow) const { return windowGeometry(brellow.window); }
    // Gives the agent's window the keyboard, as a click into it would.
    void focusAgent();
    bool agentHasKeyboard() const;
    bool hasKeyboard(const QString &window) const;
    // Waits until the agent's own field holds exactly `text`, typed by real keys.
    void checkAgentTypes(const QString &text);
    void logInByMouse(Instance &brellow, LoggedProcess &sim, int *loginLine);
    void logOutByMouse(Instance &brellow, LoggedProcess &sim);
    static QJsonObject message(const QString &line)
    {
        return QJsonDocument::fromJson(line.section(' ', 3).toUtf8()).object();
    }

    QTemporaryDir m_dir;
    std::vector<QProcess *> m_helpers;
    LoggedProcess *m_callSim = nullptr;
    LoggedProcess *m_quietSim = nullptr;
    quint16 m_callPort = 0;
    quint16 m_quietPort = 0;
    std::unique_ptr<QWidget> m_agent;
    QLineEdit *m_agentField = nullptr;
    QString m_agentWindow;
    // One Brellow for the rows of the focus tests, logged in or out as each row needs.
    Instance m_shared;
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

// A click, also where the pointer already is: the driver's click waits for the
// pointer to move, which it never does then.
void clickAt(const QPoint &pos)
{
    run("xdotool", {"mousemove", QString::number(pos.x() + 40), QString::number(pos.y() - 40)});
    click(pos);
}

void key(const QString &keys)
{
    run("xdotool", QStringList{"key", "--delay", "40"} + keys.split(' '));
}

// The window the desktop calls active, as a decimal id like xdotool's.
QString activeWindow()
{
    const QString line = run("xprop", {"-root", "_NET_ACTIVE_WINDOW"});
    bool ok = false;
    const qulonglong id = line.section(' ', -1).toULongLong(&ok, 16);
    return ok ? QString::number(id) : QString();
}

const QString md5demo = QString(QCryptographicHash::hash("demo", QCryptographicHash::Md5).toHex());
const QRegularExpression loginIn(R"( in 127\.0\.0\.1:\d+ .*"cmd":"login")");
const QRegularExpression loginAck(R"( out .*"cmd":"login_ack".*"session_id")");
const QRegularExpression logoutIn(R"( in 127\.0\.0\.1:\d+ .*"cmd":"logout")");
const QRegularExpression reasonIn(R"( in 127\.0\.0\.1:\d+ .*"cmd":"notransfer")");

} // namespace

QString TestKeyboard::Instance::logText() const
{
    QFile log(home->filePath("config/Brellow/brellow.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QProcess *TestKeyboard::startHelper(const QString &program, const QStringList &args)
{
    auto *helper = new QProcess(this);
    ChildProcess::dieWithParent(*helper);
    m_helpers.push_back(helper);
    helper->setStandardOutputFile(QProcess::nullDevice());
    helper->setStandardErrorFile(QProcess::nullDevice());
    helper->start(program, args);
    return helper;
}

void TestKeyboard::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under an X server");
    QVERIFY(m_dir.isValid());

    QVERIFY(startHelper("openbox", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY(startHelper("tint2", {})->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("_NET_SYSTEM_TRAY_S0"), 10000);

    // The agent's customer system, away from where Brellow sits.
    m_agent = std::make_unique<QWidget>();
    m_agent->setWindowTitle("Customer system");
    auto *layout = new QVBoxLayout(m_agent.get());
    m_agentField = new QLineEdit(m_agent.get());
    layout->addWidget(m_agentField);
    m_agent->setGeometry(100, 100, 500, 200);
    m_agent->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_agent.get()));
    m_agentWindow = QString::number(m_agent->winId());

    // A call four seconds after each login: time enough to go back to the
    // customer system first.
    QFile script(m_dir.filePath("call.jsonl"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        R"({"delay_ms": 100, "msg": {"cmd":"update_stat","data":{"user_surveys":12,"average_score":0.755,"team_position":3,"team_surveys":140}}})"
        "\n"
        R"({"delay_ms": 4000, "msg": {"cmd":"update_live","data":{"call_started":true,"call_cli":"07700 900123","call_question":1,"call_answers":[5]}}})"
        "\n"
        R"({"delay_ms": 400, "msg": {"cmd":"update_live","data":{"call_question":2,"call_answers":[5,4]}}})"
        "\n"
        R"({"delay_ms": 400, "msg": {"cmd":"update_live","data":{"call_question":3,"call_answers":[5,4,2],"call_completed":true,"call_score":"4.5"}}})"
        "\n");
    script.close();
    QFile figures(m_dir.filePath("figures.jsonl"));
    QVERIFY(figures.open(QIODevice::WriteOnly));
    figures.write(
        R"({"delay_ms": 100, "msg": {"cmd":"update_stat","data":{"user_surveys":3,"average_score":0.5,"team_position":2,"team_surveys":40}}})"
        "\n");
    figures.close();

    m_callSim = new LoggedProcess(this);
    m_callPort = startPracticeServer(*m_callSim, BRELLOW_SIM_PATH, 0,
                                     {"--script", script.fileName(), "--idle-timeout", "0"});
    QVERIFY(m_callPort != 0);
    m_quietSim = new LoggedProcess(this);
    m_quietPort = startPracticeServer(*m_quietSim, BRELLOW_SIM_PATH, 0,
                                      {"--script", figures.fileName(), "--idle-timeout", "0"});
    QVERIFY(m_quietPort != 0);
}

void TestKeyboard::cleanupTestCase()
{
    stopBrellow(m_shared);
    for (LoggedProcess *sim : {m_callSim, m_quietSim}) {
        if (sim)
            sim->terminate();
    }
    for (auto it = m_helpers.rbegin(); it != m_helpers.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000))
            (*it)->kill();
        (*it)->waitForFinished(5000);
    }
}

bool TestKeyboard::startBrellow(Instance &brellow, quint16 port)
{
    brellow.home = std::make_unique<QTemporaryDir>();
    if (!brellow.home->isValid() || !QDir(brellow.home->path()).mkpath("run"))
        return false;
    QFile::setPermissions(brellow.home->filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    brellow.process = std::make_unique<LoggedProcess>();
    brellow.process->process().setProcessEnvironment(brellowEnvironment(brellow.home->path()));
    brellow.process->process().start(BRELLOW_PATH,
                                     {"--server", QStringLiteral("127.0.0.1:%1").arg(port)});
    if (!brellow.process->process().waitForStarted())
        return false;
    brellow.window = findMainWindow();
    if (brellow.window.isEmpty())
        return false;
    const QRect window = waitForWindowSize(
        brellow.window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 15000);
    return !window.isNull() && waitForFace(window);
}

void TestKeyboard::stopBrellow(Instance &brellow)
{
    if (brellow.process)
        brellow.process->terminate();
    brellow.process.reset();
    brellow.window.clear();
}

QString TestKeyboard::trayIcon() const
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

bool TestKeyboard::hasKeyboard(const QString &window) const
{
    return run("xdotool", {"getwindowfocus"}) == window && activeWindow() == window;
}

bool TestKeyboard::agentHasKeyboard() const
{
    return hasKeyboard(m_agentWindow);
}

void TestKeyboard::focusAgent()
{
    run("xdotool", {"windowactivate", "--sync", m_agentWindow});
    QTRY_VERIFY_WITH_TIMEOUT(agentHasKeyboard(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_agent->isActiveWindow(), 10000);
}

void TestKeyboard::checkAgentTypes(const QString &text)
{
    m_agentField->clear();
    run("xdotool", {"type", "--delay", "25", text});
    QTRY_COMPARE_WITH_TIMEOUT(m_agentField->text(), text, 10000);
}

void TestKeyboard::logInByMouse(Instance &brellow, LoggedProcess &sim, int *loginLine)
{
    const int from = sim.lines().size();
    if (brellow.logText().contains("login sent for user demo")) {
        // The page still holds the user name of the last login.
        static const QRect password = elementRect("#password", Face::LoggedOutCompact);
        static const QRect login = elementRect("#login_button", Face::LoggedOutCompact);
        clickAt(geometryOf(brellow).topLeft() + password.center());
        type("demo");
        clickAt(geometryOf(brellow).topLeft() + login.center());
    } else {
        typeLogin(geometryOf(brellow), "demo", "demo");
    }
    *loginLine = sim.waitForLine(loginIn, from);
    QVERIFY2(*loginLine >= 0, "no login reached the server");
    QVERIFY(sim.waitForLine(loginAck, *loginLine) >= 0);
}

void TestKeyboard::logOutByMouse(Instance &brellow, LoggedProcess &sim)
{
    static const QRect logout = elementRect("#login_button", Face::LoggedInCompact);
    const int from = sim.lines().size();
    clickAt(geometryOf(brellow).topLeft() + logout.center());
    QVERIFY2(sim.waitForLine(logoutIn, from) >= 0,
             qPrintable("the Logout click sent nothing; Brellow's log:\n" + brellow.logText()));
    QTRY_VERIFY_WITH_TIMEOUT(brellow.logText().contains("logout asked by the agent"), 10000);
}

void TestKeyboard::agentKeepsTheKeyboardThroughACall_data()
{
    QTest::addColumn<bool>("hidden");      // Brellow hidden to the tray before the call
    QTest::addColumn<bool>("untilShrunk"); // or only until the outcome has shown

    QTest::newRow("window on show") << false << true;
    // The call brings the window back: shown again, grown, the outcome on it.
    QTest::newRow("window hidden to the tray") << true << false;
}

void TestKeyboard::agentKeepsTheKeyboardThroughACall()
{
    QFETCH(bool, hidden);
    QFETCH(bool, untilShrunk);
    Instance brellow;
    QVERIFY2(startBrellow(brellow, m_callPort), "brellow did not start");
    const auto stop = qScopeGuard([&] { stopBrellow(brellow); });

    int loginLine = -1;
    logInByMouse(brellow, *m_callSim, &loginLine);
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(brellow.window), 10000);
    if (hidden) {
        run("wmctrl", {"-i", "-c", brellow.window});
        QTRY_VERIFY_WITH_TIMEOUT(findMainWindow(0).isEmpty(), 10000);
    }
    focusAgent();
    const int focusedAt = m_callSim->lines().size();

    // Every moment of the call: it starts, grows the window (and brings a hidden
    // one back), its answers come, its outcome, and ten seconds later the window
    // shrinks. The keyboard stays with the customer system all along.
    const QRegularExpression callStart(R"( out .*"call_started":true)");
    int samples = 0;
    bool grew = false;
    bool shrankAfterOutcome = false;
    int samplesAfterOutcome = 0;
    QString lost;
    QVERIFY(QTest::qWaitFor(
        [&] {
            ++samples;
            if (!agentHasKeyboard()) {
                lost = QStringLiteral("focus %1, active %2")
                           .arg(run("xdotool", {"getwindowfocus"}), activeWindow());
                return true;
            }
            const QString shown = findMainWindow(0);
            const QSize size = shown.isEmpty() ? QSize() : windowGeometry(shown).size();
            grew = grew || size.height() == MainWindow::ExpandedHeight;
            const bool outcome =
                !m_callSim->linesMatching(QRegularExpression(R"("call_completed":true)"), loginLine)
                     .isEmpty();
            if (grew && outcome)
                ++samplesAfterOutcome;
            shrankAfterOutcome = outcome && grew && size.height() == MainWindow::CompactHeight;
            return untilShrunk ? shrankAfterOutcome : samplesAfterOutcome >= 10;
        },
        40000));
    QVERIFY2(lost.isEmpty(), qPrintable("the call took the keyboard: " + lost));
    QVERIFY2(grew, "the call never grew the window");
    QVERIFY(untilShrunk ? shrankAfterOutcome : samplesAfterOutcome >= 10);
    // The call began only once the customer system had the keyboard.
    QVERIFY(m_callSim->waitForLine(callStart, loginLine, 0) >= focusedAt);
    qInfo("keyboard focus sampled %d times through the call", samples);

    // Brellow is on screen and on top, yet the agent's keys go to the customer system.
    QCOMPARE(findMainWindow(0), brellow.window);
    QVERIFY(run("xprop", {"-id", brellow.window, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"));
    checkAgentTypes("account 4711 noted");
}

void TestKeyboard::boxOpenedWhileAwayLeavesTheKeyboard()
{
    // A server that takes the login and never answers: five seconds later Brellow
    // says so in a box, while the agent is long back at work.
    QUdpSocket silent;
    QVERIFY(silent.bind(QHostAddress::LocalHost, 0));
    Instance brellow;
    QVERIFY2(startBrellow(brellow, silent.localPort()), "brellow did not start");
    const auto stop = qScopeGuard([&] { stopBrellow(brellow); });

    typeLogin(geometryOf(brellow), "demo", "demo");
    QTRY_VERIFY_WITH_TIMEOUT(silent.hasPendingDatagrams(), 10000);
    focusAgent();
    const int windowsBefore = int(brellowWindows().size());
    QTRY_VERIFY_WITH_TIMEOUT(int(brellowWindows().size()) > windowsBefore, 15000);
    QVERIFY(brellow.logText().contains("login timed out: the server does not answer"));
    // The box is on screen; the keyboard is still the agent's, over a while.
    for (int i = 0; i < 10; ++i) {
        QVERIFY2(agentHasKeyboard(),
                 qPrintable(QStringLiteral("the box took the keyboard: focus %1 (%2), active %3")
                                .arg(run("xdotool", {"getwindowfocus"}),
                                     run("xdotool", {"getwindowfocus", "getwindowname"}),
                                     activeWindow())));
        QTest::qWait(100);
    }
    checkAgentTypes("still mine");
}

void TestKeyboard::askingForBrellowGivesTheNeededField_data()
{
    QTest::addColumn<QString>("how");   // tray, second start, click beside, click header
    QTest::addColumn<bool>("loggedIn"); // the state the row starts in
    QTest::addColumn<QString>("field"); // where typing must go
    QTest::addColumn<QString>("keys");  // typed there ("\t" Tab, "\n" Enter)

    // Logged out with nothing typed yet, then with the user name remembered.
    QTest::newRow("tray, logged out") << "tray" << false << "username"
                                      << "demo\tdemo\n";
    QTest::newRow("second start, name remembered") << "second start" << false << "password"
                                                   << "demo\n";
    QTest::newRow("click beside the fields") << "click beside" << false << "password"
                                             << "demo\n";
    QTest::newRow("click on the header strip") << "click header" << false << "password"
                                               << "demo\n";
    // Logged in: the compact window grows to show the reason field.
    QTest::newRow("click on a figure, logged in") << "click figure" << true << "no_transfer"
                                                  << "customer hung up\n";
    QTest::newRow("tray, logged in") << "tray" << true << "no_transfer"
                                     << "wrong number\n";
    QTest::newRow("second start, logged in") << "second start" << true << "no_transfer"
                                             << "called back later\n";
}

void TestKeyboard::askingForBrellowGivesTheNeededField()
{
    QFETCH(QString, how);
    QFETCH(bool, loggedIn);
    QFETCH(QString, field);
    QFETCH(QString, keys);

    if (!m_shared.process)
        QVERIFY2(startBrellow(m_shared, m_quietPort), "brellow did not start");
    const bool isLoggedIn =
        m_shared.logText().count("login accepted") > m_shared.logText().count("logout asked");
    if (loggedIn && !isLoggedIn) {
        int line = -1;
        logInByMouse(m_shared, *m_quietSim, &line);
    } else if (!loggedIn && isLoggedIn) {
        logOutByMouse(m_shared, *m_quietSim);
    }
    focusAgent();

    const int logFrom = int(m_shared.logText().size());
    const int simFrom = m_quietSim->lines().size();
    const QRect window = geometryOf(m_shared);
    if (how == "tray") {
        const QString icon = trayIcon();
        QVERIFY2(!icon.isEmpty(), "no tray icon");
        run("xdotool", {"mousemove", "--window", icon, "4", "4", "click", "1"});
    } else if (how == "second start") {
        LoggedProcess second;
        second.process().setProcessEnvironment(brellowEnvironment(m_shared.home->path()));
        second.process().start(BRELLOW_PATH,
                               {"--server", QStringLiteral("127.0.0.1:%1").arg(m_quietPort)});
        QVERIFY(second.process().waitForFinished(20000));
        QCOMPARE(second.process().exitCode(), 0);
    } else if (how == "click beside") {
        // Above the Login link, in its column: no control there.
        const QRect login = elementRect("#login_button", Face::LoggedOutCompact);
        clickAt(window.topLeft() + QPoint(login.center().x(), login.top() - 6));
    } else if (how == "click header") {
        // The strip that drags the window: the page never sees the press.
        clickAt(window.topLeft() + QPoint(MainWindow::WindowWidth / 2, 8));
    } else {
        const QRect figure = elementRect("#user_surveys", Face::LoggedInCompact);
        clickAt(window.topLeft() + figure.center());
    }
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(m_shared.window), 10000);
    if (how == "tray" || how == "second start") {
        // The page has put the focus where the agent types before the keys come.
        QTRY_VERIFY_WITH_TIMEOUT(m_shared.logText().mid(logFrom).contains(
                                     "brought to the front, typing goes to #" + field),
                                 10000);
    }
    if (loggedIn) {
        QVERIFY(!waitForWindowSize(m_shared.window,
                                   QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight),
                                   10000)
                     .isNull());
    }

    // Real keys: text, Tab and Enter.
    const QStringList parts = keys.split('\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringList fields = parts.at(i).split('\t');
        for (qsizetype j = 0; j < fields.size(); ++j) {
            if (j > 0)
                key("Tab");
            if (!fields.at(j).isEmpty())
                run("xdotool", {"type", "--delay", "25", fields.at(j)});
        }
        if (i + 1 < parts.size())
            key("Return");
    }

    if (loggedIn) {
        const int sent = m_quietSim->waitForLine(reasonIn, simFrom);
        QVERIFY2(sent >= 0, "Enter sent no reason");
        QCOMPARE(message(m_quietSim->lines().at(sent)).value("text").toString(), keys.chopped(1));
    } else {
        const int sent = m_quietSim->waitForLine(loginIn, simFrom);
        QVERIFY2(sent >= 0, "Enter sent no login");
        const QJsonObject login = message(m_quietSim->lines().at(sent));
        QCOMPARE(login.value("username").toString(), QStringLiteral("demo"));
        QCOMPARE(login.value("password").toString(), md5demo);
        QVERIFY(m_quietSim->waitForLine(loginAck, sent) >= 0);
    }

    // Escape gives the keyboard back to the customer system; Brellow stays.
    key("Escape");
    QTRY_VERIFY_WITH_TIMEOUT(agentHasKeyboard(), 10000);
    QCOMPARE(findMainWindow(0), m_shared.window);
    checkAgentTypes("back at work");
    // One login or reason per Enter, nothing more.
    QCOMPARE(m_quietSim->linesMatching(loggedIn ? reasonIn : loginIn, simFrom).size(), 1);
}

void TestKeyboard::compactTabNeverReachesTheHiddenReason()
{
    if (!m_shared.process)
        QVERIFY2(startBrellow(m_shared, m_quietPort), "brellow did not start");
    // A fresh session: no timer of an earlier one may shrink the window meanwhile.
    if (m_shared.logText().count("login accepted") > m_shared.logText().count("logout asked"))
        logOutByMouse(m_shared, *m_quietSim);
    int line = -1;
    logInByMouse(m_shared, *m_quietSim, &line);
    const QRect compact = waitForWindowSize(
        m_shared.window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 20000);
    QVERIFY(!compact.isNull());
    focusAgent();
    const int simFrom = m_quietSim->lines().size();

    // A press on the header strip only activates the window: the focus goes to
    // "+", the first control on screen. Tab goes to Logout and wraps to "+"
    // again, never into the reason field below the 90 pixels shown; what is
    // typed there goes nowhere, and Enter on "+" grows the window.
    clickAt(compact.topLeft() + QPoint(MainWindow::WindowWidth / 2, 8));
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(m_shared.window), 10000);
    key("Tab Tab Tab Tab");
    run("xdotool", {"type", "--delay", "25", "lost words"});
    key("Return");
    QVERIFY2(!waitForWindowSize(m_shared.window,
                                QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight), 10000)
                  .isNull(),
             "Enter did not land on the \"+\"");
    QVERIFY(m_quietSim->linesMatching(reasonIn, simFrom).isEmpty());
    QVERIFY(m_quietSim->linesMatching(logoutIn, simFrom).isEmpty());

    // Expanded, the walk from "-" takes in Logout, the reason and Add; Shift+Tab
    // walks back. The reason field now has the focus: Tab, Tab, Shift+Tab from
    // there lands on the reason again.
    key("Tab shift+Tab");
    run("xdotool", {"type", "--delay", "25", "line one"});
    key("shift+Return");
    run("xdotool", {"type", "--delay", "25", "line two"});
    key("Tab Tab shift+Tab shift+Tab Return");
    const int sent = m_quietSim->waitForLine(reasonIn, simFrom);
    QVERIFY2(sent >= 0, "Enter sent no reason");
    QCOMPARE(message(m_quietSim->lines().at(sent)).value("text").toString(),
             QStringLiteral("line one\nline two"));
    key("Escape");
    QTRY_VERIFY_WITH_TIMEOUT(agentHasKeyboard(), 10000);
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestKeyboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboard.moc"
