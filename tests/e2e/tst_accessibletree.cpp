#include <tests/support/atspitree.h>
#include <tests/support/privatebus.h>
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;
using namespace DesktopDriver;
using UiTest::AtspiTree;
using UiTest::PrivateBus;

// The real brellow as a screen reader finds it on a desktop whose accessibility
// is on: a private session bus, the desktop's own accessibility bus launcher and
// registry, and the tree read over AT-SPI as Orca would read it.
class TestAccessibleTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void turnsPageAccessibilityOn();
    void loggedOutControlsAreNamed_data();
    void loggedOutControlsAreNamed();
    void figuresAndBarsAreNamed();
    void startupBoxSpeaksTheAgentsLanguage();

private:
    QList<AtspiTree::Node>
    waitForTree(const std::function<bool(const QList<AtspiTree::Node> &)> &ok);
    bool setDesktopAccessibility(bool on);

    QTemporaryDir m_dir;
    PrivateBus m_bus;
    QDBusConnection m_session{QString()};
    QDBusConnection m_a11y{QString()};
    QProcess m_launcher;
    LoggedProcess *m_sim = nullptr;
    LoggedProcess *m_brellow = nullptr;
    QRect m_window;
};

void TestAccessibleTree::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_bus.start(), qPrintable(m_bus.error()));
    m_session = m_bus.connect(QStringLiteral("desktop"));

    // The accessibility bus, as a desktop session starts it; its folders are the test's.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    m_bus.addTo(env);
    env.insert("XDG_RUNTIME_DIR", m_dir.filePath("launcher-run"));
    env.insert("XDG_CACHE_HOME", m_dir.filePath("launcher-cache"));
    // The launcher keeps the status in the desktop's settings; dconf would need its
    // service on the bus, which a private bus does not start.
    env.insert("GSETTINGS_BACKEND", "memory");
    QVERIFY(QDir().mkpath(m_dir.filePath("launcher-run")));
    QFile::setPermissions(m_dir.filePath("launcher-run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_launcher.setProcessEnvironment(env);
    m_launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ChildProcess::dieWithParent(m_launcher);
    m_launcher.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
    QVERIFY2(m_launcher.waitForStarted(), "at-spi2-core is not installed");
    const auto owned = [this] {
        QDBusMessage ask =
            QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "NameHasOwner");
        ask << QStringLiteral("org.a11y.Bus");
        const QDBusMessage reply = m_session.call(ask);
        return !reply.arguments().isEmpty() && reply.arguments().first().toBool();
    };
    QVERIFY(QTest::qWaitFor(owned, 20000));
    QVERIFY(QTest::qWaitFor([this] { return setDesktopAccessibility(true); }, 20000));
    const QDBusMessage address = m_session.call(QDBusMessage::createMethodCall(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    QVERIFY2(!address.arguments().isEmpty(), qPrintable(address.errorMessage()));
    m_a11y = QDBusConnection::connectToBus(address.arguments().first().toString(),
                                           QStringLiteral("a11y"));
    QVERIFY(m_a11y.isConnected());

    // A call in progress: figures, then three answers of which the last is still open.
    QFile script(m_dir.filePath("call.script"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        R"({"delay_ms": 300, "msg": {"cmd":"update_stat","data":{"user_surveys":6,"average_score":0.755,"team_position":3,"team_surveys":140}}})"
        "\n"
        R"({"delay_ms": 1000, "msg": {"cmd":"update_live","data":{"call_started":true,"call_cli":"07700 900123","call_question":3,"call_answers":[5,4]}}})"
        "\n");
    script.close();
    m_sim = new LoggedProcess(this);
    const quint16 port = startPracticeServer(
        *m_sim, BRELLOW_SIM_PATH, 0, {"--script", script.fileName(), "--idle-timeout", "0"});
    QVERIFY2(port != 0, "the practice server did not start listening");

    QProcessEnvironment brellowEnv = brellowEnvironment(m_dir.filePath("home"));
    m_bus.addTo(brellowEnv);
    brellowEnv.insert("QT_QPA_PLATFORM", "xcb");
    brellowEnv.remove("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY");
    brellowEnv.remove("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
    m_brellow = new LoggedProcess(this);
    m_brellow->process().setProcessEnvironment(brellowEnv);
    m_brellow->process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_brellow->process().start(BRELLOW_PATH,
                               {"--server", QStringLiteral("127.0.0.1:%1").arg(port)});
    QVERIFY(m_brellow->process().waitForStarted());
    const QString windowId = findMainWindow(20000);
    QVERIFY2(!windowId.isEmpty(), "no brellow window appeared");
    m_window = windowGeometry(windowId);
    QVERIFY(waitForFace(m_window));
}

void TestAccessibleTree::cleanupTestCase()
{
    if (m_brellow)
        m_brellow->terminate();
    if (m_sim)
        m_sim->terminate();
    QDBusConnection::disconnectFromBus(QStringLiteral("a11y"));
    if (m_launcher.state() != QProcess::NotRunning) {
        // Asked to leave, the launcher takes its bus and registry with it.
        m_launcher.terminate();
        if (!m_launcher.waitForFinished(10000))
            m_launcher.kill();
    }
}

bool TestAccessibleTree::setDesktopAccessibility(bool on)
{
    // As the desktop's settings do it. The launcher may take the call before its
    // settings are ready, so the caller asks until the value holds.
    QDBusMessage set = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                      "org.freedesktop.DBus.Properties", "Set");
    set << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled")
        << QVariant::fromValue(QDBusVariant(on));
    if (m_session.call(set).type() != QDBusMessage::ReplyMessage)
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled");
    const QDBusMessage reply = m_session.call(get);
    return !reply.arguments().isEmpty() &&
           reply.arguments().first().value<QDBusVariant>().variant().toBool() == on;
}

QList<AtspiTree::Node>
TestAccessibleTree::waitForTree(const std::function<bool(const QList<AtspiTree::Node> &)> &ok)
{
    QList<AtspiTree::Node> nodes;
    // The caller checks what it needs of the last tree read.
    [[maybe_unused]] const bool found = QTest::qWaitFor(
        [&] {
            nodes = AtspiTree::read(m_a11y, QStringLiteral("brellow"));
            return ok(nodes);
        },
        30000);
    const QString dump = qEnvironmentVariable("BRELLOW_ACCESSIBLE_TREE");
    if (!dump.isEmpty()) {
        QFile file(dump);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(AtspiTree::format(nodes).toUtf8() + "\n");
    }
    return nodes;
}

void TestAccessibleTree::turnsPageAccessibilityOn()
{
    QFile log(m_dir.filePath("home/config/Brellow/brellow.log"));
    QVERIFY(QTest::qWaitFor([&] { return log.exists(); }, 10000));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QVERIFY2(text.contains("page accessibility: on (the desktop's accessibility is on)"),
             qPrintable(text));
}

void TestAccessibleTree::loggedOutControlsAreNamed_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("name");
    // Qt says "text" for every editable field, the password's included.
    QTest::newRow("user name") << "text"
                               << "User name";
    QTest::newRow("password") << "text"
                              << "Password";
    QTest::newRow("login") << "push button"
                           << "Login";
    QTest::newRow("no transfer reason") << "text"
                                        << "No transfer reason";
    QTest::newRow("add") << "push button"
                         << "Add";
}

void TestAccessibleTree::loggedOutControlsAreNamed()
{
    QFETCH(QString, role);
    QFETCH(QString, name);
    const QList<AtspiTree::Node> nodes =
        waitForTree([&](const auto &tree) { return AtspiTree::contains(tree, role, name); });
    QVERIFY2(AtspiTree::contains(nodes, role, name), qPrintable(AtspiTree::format(nodes)));
}

void TestAccessibleTree::figuresAndBarsAreNamed()
{
    typeLogin(m_window, "demo", "demo");
    const QStringList figures = {"Surveys Transferred 6", "Average Score 75%", "Team Position 3",
                                 "Total Team Surveys 140"};
    const auto barValue = [](const QList<AtspiTree::Node> &tree, const QString &name) {
        for (const AtspiTree::Node &node : tree) {
            if (node.role == QLatin1String("progress bar") && node.name == name && node.hasValue)
                return node.value;
        }
        return -1.0;
    };
    const QList<AtspiTree::Node> nodes = waitForTree([&](const QList<AtspiTree::Node> &tree) {
        for (const QString &figure : figures) {
            if (!AtspiTree::contains(tree, "panel", figure))
                return false;
        }
        return AtspiTree::contains(tree, "push button", "Logout") &&
               barValue(tree, "Question 1") == 5 && barValue(tree, "Question 2") == 4 &&
               AtspiTree::contains(tree, "progress bar", "Question 3");
    });
    const QString dump = AtspiTree::format(nodes);
    for (const QString &figure : figures)
        QVERIFY2(AtspiTree::contains(nodes, "panel", figure), qPrintable(figure + "\n" + dump));
    QVERIFY2(AtspiTree::contains(nodes, "push button", "Logout"), qPrintable(dump));
    QCOMPARE(barValue(nodes, "Question 1"), 5.0);
    QCOMPARE(barValue(nodes, "Question 2"), 4.0);
    QVERIFY2(!AtspiTree::contains(nodes, "progress bar", "Question 4"), qPrintable(dump));
}

// A bad server setting stops the start with a box: the agent reads it in their
// language, with Qt's own button translated too, while the log keeps English.
// Runs last: the Brellow above leaves first, so the tree is the box's alone.
void TestAccessibleTree::startupBoxSpeaksTheAgentsLanguage()
{
    QVERIFY(m_brellow->terminate());
    QProcessEnvironment env = brellowEnvironment(m_dir.filePath("german"));
    m_bus.addTo(env);
    env.insert("QT_QPA_PLATFORM", "xcb");
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QLatin1String(name));
    env.insert("LANG", "de_DE.UTF-8");
    // A value holding "%2": shown as written, never filled in.
    env.insert("BRELLOW_SERVER", "::%2");
    LoggedProcess german;
    german.process().setProcessEnvironment(env);
    german.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    german.process().start(BRELLOW_PATH, QStringList());
    QVERIFY(german.process().waitForStarted());

    const QString text =
        QString::fromUtf8("Der Statistikserver „::%2“ (Quelle: Umgebungsvariable BRELLOW_SERVER) "
                          "ist ungültig: eine IPv6-Adresse muss in eckigen Klammern stehen, etwa "
                          "[::1]:49999.");
    const QString button = QString::fromUtf8("Schließen");
    const QList<AtspiTree::Node> nodes = waitForTree([&](const auto &tree) {
        return AtspiTree::contains(tree, "label", text) &&
               AtspiTree::contains(tree, "push button", button);
    });
    const QString dump = AtspiTree::format(nodes);
    QVERIFY2(AtspiTree::contains(nodes, "label", text), qPrintable(dump));
    QVERIFY2(AtspiTree::contains(nodes, "push button", button), qPrintable(dump));

    QFile log(m_dir.filePath("german/config/Brellow/brellow.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    QVERIFY2(logged.contains("\tThe statistics server \"::%2\" from the environment "
                             "(BRELLOW_SERVER) is not valid: an IPv6 address must be written in "
                             "brackets, as in [::1]:49999.\n"),
             qPrintable(logged));
    QVERIFY2(logged.contains("language de from the desktop's locale"), qPrintable(logged));
    QVERIFY(german.terminate());
    QCOMPARE(german.process().exitCode(), 2);
}

QTEST_MAIN(TestAccessibleTree)
#include "tst_accessibletree.moc"
