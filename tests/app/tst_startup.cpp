#include "brellowprocess.h"
#include <app/serveraddress.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

using namespace Brellow;

// The real brellow binary, started where no server address can be reached: a
// network namespace without any route. Runs under an X server (scripts/with-xvfb.sh) so the
// message box is a real window that the test can find and dismiss.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void unreachableServerShowsBoxAndExits();
    void quitRequestClosesStartupBox_data();
    void quitRequestClosesStartupBox();
};

void TestStartup::unreachableServerShowsBoxAndExits()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    BrellowHome home;
    QVERIFY(home.prepare());

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", {"-n", BRELLOW_PATH, "--some-unknown-option"});
    QVERIFY(brellow.waitForStarted());

    const QString box = findBoxWindow(15000);
    QVERIFY2(!box.isEmpty(), "no message box titled brellow appeared");
    QCOMPARE(brellow.state(), QProcess::Running); // the box waits for the agent

    dismissBox(box);
    QVERIFY(brellow.waitForFinished(10000));
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), 1);

    const QStringList texts = home.logTexts();
    QCOMPARE(texts.size(), 7);
    QCOMPARE(texts.at(0), QStringLiteral("started"));
    QVERIFY(texts.at(1).startsWith("engine: lean defaults, set QT_QUICK_BACKEND=software"));
    QCOMPARE(texts.at(2), QStringLiteral("platform xcb"));
    // Unknown arguments are ignored, and said so.
    QCOMPARE(texts.at(3), QStringLiteral("ignored arguments: --some-unknown-option"));
    QVERIFY(texts.at(4).startsWith(QStringLiteral("language ")));
    QCOMPARE(texts.at(5),
             QStringLiteral("server %1 from the built-in default")
                 .arg(ServerAddress::parse(ServerAddress::builtInDefault(), {}).toString()));
    QCOMPARE(texts.at(6), QStringLiteral("terminated"));
}

void TestStartup::quitRequestClosesStartupBox_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("SIGTERM, no server") << SIGTERM << "--server=10.0.0.5" << 1;
    QTest::newRow("SIGHUP, no server") << SIGHUP << "--server=10.0.0.5" << 1;
    QTest::newRow("SIGINT, no server") << SIGINT << "--server=10.0.0.5" << 1;
    QTest::newRow("SIGTERM, bad setting") << SIGTERM << "--server=10.0.0.5:0" << 2;
}

// Before the event loop runs, a quit request must still end the program the
// orderly way: the box goes, the exit code is the box's own, the log says so.
void TestStartup::quitRequestClosesStartupBox()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    BrellowHome home;
    QVERIFY(home.prepare());

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", {"-n", BRELLOW_PATH, argument});
    QVERIFY(brellow.waitForStarted());

    QVERIFY2(!findBoxWindow(15000).isEmpty(), "no message box titled brellow appeared");
    QCOMPARE(::kill(pid_t(brellow.processId()), signalNumber), 0);
    QVERIFY2(brellow.waitForFinished(5000), "the box kept the program running");
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), exitCode);
    QVERIFY(findBoxWindow(0).isEmpty());
    const QStringList texts = home.logTexts();
    QVERIFY(!texts.isEmpty());
    QCOMPARE(texts.first(), QStringLiteral("started"));
    QCOMPARE(texts.last(), QStringLiteral("terminated"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
