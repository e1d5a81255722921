#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The real brellow binary, started where no server address can be reached: a
// network namespace without any route. Runs under an X server (xvfb-run) so the
// message box is a real window that the test can find and dismiss.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void unreachableServerShowsBoxAndExits();
};

static QString findBoxWindow(int timeoutMs)
{
    QString id;
    [[maybe_unused]] const bool found = QTest::qWaitFor(
        [&] {
            QProcess search;
            search.start("xdotool", {"search", "--onlyvisible", "--name", "^brellow$"});
            search.waitForFinished(5000);
            id = QString::fromLatin1(search.readAllStandardOutput()).trimmed().section('\n', 0, 0);
            return !id.isEmpty();
        },
        timeoutMs);
    return id;
}

void TestStartup::unreachableServerShowsBoxAndExits()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under xvfb-run");
    QTemporaryDir config;
    QVERIFY(config.isValid());

    QProcess brellow;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", {"-n", BRELLOW_PATH, "--some-unknown-option"});
    QVERIFY(brellow.waitForStarted());

    const QString box = findBoxWindow(15000);
    QVERIFY2(!box.isEmpty(), "no message box titled brellow appeared");
    QCOMPARE(brellow.state(), QProcess::Running); // the box waits for the agent

    QProcess::execute("xdotool", {"windowactivate", "--sync", box});
    QProcess::execute("xdotool", {"key", "--window", box, "Escape"});
    QVERIFY(brellow.waitForFinished(10000));
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), 1);

    QFile log(config.path() + "/Brellow/brellow.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).endsWith("\tstarted"));
    QVERIFY(lines.at(1).endsWith("\tterminated"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
