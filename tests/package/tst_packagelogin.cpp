#include <net/messages.h>
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace DesktopDriver;

// The program from the brellow package, unpacked into a private root, started
// the way the autostart entry starts it (no arguments) and set up only by the
// site's system-wide settings file: it must reach the practice server named
// there, and an agent must be able to log in through the page.
class TestPackageLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void logsInToTheServerFromTheSiteSettings();

private:
    bool startSim();

    QTemporaryDir m_dir;
    LoggedProcess *m_sim = nullptr;
    LoggedProcess *m_brellow = nullptr;
    quint16 m_port = 0;
};

bool TestPackageLogin::startSim()
{
    // Any free port but the built-in default, so that only the settings file can
    // have told Brellow where the server is.
    for (int attempt = 0; attempt < 3; ++attempt) {
        delete m_sim;
        m_sim = new LoggedProcess(this);
        m_sim->process().start(BRELLOW_SIM_PATH, {"--listen", "127.0.0.1:0", "--idle-timeout", "0",
                                                  "--first-call", "600000"});
        if (!m_sim->process().waitForStarted())
            return false;
        const int line = m_sim->waitForLine(QRegularExpression(R"( listening 127\.0\.0\.1:\d+$)"));
        if (line < 0)
            return false;
        m_port = m_sim->lines().at(line).section(':', -1).toUShort();
        if (m_port != 0 && m_port != Brellow::Messages::ServerPort)
            return true;
        m_sim->terminate();
    }
    return false;
}

void TestPackageLogin::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    QVERIFY(m_dir.isValid());

    const QStringList debs = QDir(BRELLOW_DEB_DIR).entryList({"brellow_*.deb"}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString root = m_dir.filePath("root");
    QProcess unpack;
    ChildProcess::dieWithParent(unpack);
    unpack.start("dpkg-deb", {"-x", QDir(BRELLOW_DEB_DIR).filePath(debs.first()), root});
    QVERIFY(unpack.waitForFinished(60000));
    QCOMPARE(unpack.exitCode(), 0);
    const QString program = root + "/usr/bin/brellow";
    QVERIFY(QFileInfo(program).isExecutable());

    QVERIFY2(startSim(), "the practice server did not start");

    // The site's system-wide settings, in a private XDG_CONFIG_DIRS.
    QVERIFY(QDir().mkpath(m_dir.filePath("xdg/Brellow")));
    QFile ini(m_dir.filePath("xdg/Brellow/brellow.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QString("[General]\nserver=127.0.0.1:%1\n").arg(m_port).toUtf8());
    ini.close();
    QVERIFY(QDir().mkpath(m_dir.filePath("runtime")));
    QVERIFY(QFile::setPermissions(m_dir.filePath("runtime"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("BRELLOW_SERVER");
    env.insert("XDG_CONFIG_DIRS", m_dir.filePath("xdg"));
    env.insert("XDG_CONFIG_HOME", m_dir.filePath("home-config"));
    env.insert("XDG_RUNTIME_DIR", m_dir.filePath("runtime"));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    m_brellow = new LoggedProcess(this);
    m_brellow->process().setProcessEnvironment(env);
    m_brellow->process().start(program, {});
    QVERIFY(m_brellow->process().waitForStarted());
}

void TestPackageLogin::cleanupTestCase()
{
    if (m_brellow)
        m_brellow->terminate();
    if (m_sim)
        m_sim->terminate();
}

void TestPackageLogin::logsInToTheServerFromTheSiteSettings()
{
    const QString windowId = findWindow("brellow", 30000);
    QVERIFY2(!windowId.isEmpty(), "no brellow window appeared");
    const QRect window = waitForWindowSize(windowId, QSize(364, 90), 15000);
    QVERIFY(!window.isNull());
    const auto at = [&](const char *selector) {
        return window.topLeft() + elementRect(selector, Face::LoggedOutCompact).center();
    };

    // The page is drawn once the user name field shows as a light box.
    const QRect field =
        elementRect("#username", Face::LoggedOutCompact).translated(window.topLeft());
    QVERIFY(field.width() > 10);
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     const QColor c = grab(field).pixelColor(field.width() / 2, field.height() / 2);
                     return c.lightness() > 200;
                 },
                 20000),
             "the page did not appear");

    click(at("#username"));
    type("demo");
    click(at("#password"));
    type("demo");
    click(at("#login_button"));

    const int login =
        m_sim->waitForLine(QRegularExpression(R"( in 127\.0\.0\.1:\d+ .*"cmd":"login")"), 0, 20000);
    QVERIFY2(login >= 0, qPrintable(m_sim->lines().join('\n')));
    const int ack = m_sim->waitForLine(QRegularExpression(R"( out .*"cmd":"login_ack")"), login);
    QVERIFY2(ack >= 0, qPrintable(m_sim->lines().join('\n')));
    const QString sessionId =
        QJsonDocument::fromJson(m_sim->lines().at(ack).section(' ', 3).toUtf8())
            .object()
            .value("session_id")
            .toString();
    QVERIFY(!sessionId.isEmpty());

    // Logged in: the window keeps the session alive with a ping every ten seconds.
    const int ping = m_sim->waitForLine(QRegularExpression(R"( in .*"cmd":"ping")"), ack, 25000);
    QVERIFY2(ping >= 0, qPrintable(m_sim->lines().join('\n')));
    QVERIFY(m_sim->lines().at(ping).contains(sessionId));
    QVERIFY(m_sim->linesMatching(QRegularExpression(" out .*shutdown_ack"), ack).isEmpty());
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPackageLogin test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_packagelogin.moc"
