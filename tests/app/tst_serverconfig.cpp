#include "brellowprocess.h"
#include <app/serveraddress.h>

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>

#include <csignal>

using namespace Brellow;

// Where the real brellow finds its statistics server: the command line, the
// environment, the site's settings file, the built-in default. Runs under an X
// server (scripts/with-xvfb.sh) for the boxes. Name lookups happen only in network
// namespaces of the test's own, with their own resolver settings.
class TestServerConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sourcesInOrder_data();
    void sourcesInOrder();
    void badValueIsAnError_data();
    void badValueIsAnError();
    void helpAndVersionLeaveTheLogAlone_data();
    void helpAndVersionLeaveTheLogAlone();
    void socketTalksToTheConfiguredServer();
    void hostNameLookup_data();
    void hostNameLookup();
};

static bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

static bool logHas(const BrellowHome &home, const QString &text)
{
    return home.logTexts().contains(text);
}

// "IP:port" of the connected UDP sockets that the process holds.
static QSet<QString> connectedUdpPeers(qint64 pid)
{
    QSet<QString> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget().section('/', -1);
        if (target.startsWith("socket:["))
            inodes << target.mid(8).chopped(1);
    }
    QSet<QString> peers;
    QFile table(QStringLiteral("/proc/%1/net/udp").arg(pid));
    if (!table.open(QIODevice::ReadOnly))
        return peers;
    for (const QByteArray &line : table.readAll().split('\n').mid(1)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 10 || fields.at(3) != "01" || !inodes.contains(fields.at(9)))
            continue;
        const QList<QByteArray> peer = fields.at(2).split(':');
        const quint32 raw = peer.value(0).toUInt(nullptr, 16);
        const quint16 port = quint16(peer.value(1).toUInt(nullptr, 16));
        // The kernel prints the address as it lies in memory, in network order.
        peers
            << QStringLiteral("%1:%2").arg(QHostAddress(qFromBigEndian(raw)).toString()).arg(port);
    }
    return peers;
}

void TestServerConfig::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
}

void TestServerConfig::sourcesInOrder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QByteArray>("siteFile");
    QTest::addColumn<QByteArray>("laterSiteFile");
    QTest::addColumn<QByteArray>("userFile");
    QTest::addColumn<QString>("expected");

    const QString builtIn = ServerAddress::parse(ServerAddress::builtInDefault(), {}).toString();
    const QByteArray site = "[General]\nserver=10.9.8.7:4000\n";
    const QByteArray user = "[General]\nserver=10.6.6.6\nloginUsername=anna\n";
    QTest::newRow("built-in") << QStringList() << QString() << QByteArray() << QByteArray()
                              << QByteArray() << "server " + builtIn + " from the built-in default";
    QTest::newRow("site file") << QStringList() << QString() << site << QByteArray() << QByteArray()
                               << "server 10.9.8.7:4000 from SITE/Brellow/brellow.ini";
    QTest::newRow("later site folder")
        << QStringList() << QString() << QByteArray() << site << QByteArray()
        << "server 10.9.8.7:4000 from LATER/Brellow/brellow.ini";
    QTest::newRow("earlier site folder wins")
        << QStringList() << QString() << QByteArray("server=10.1.2.3\n") << site << QByteArray()
        << "server 10.1.2.3:49999 from SITE/Brellow/brellow.ini";
    QTest::newRow("agent's own file is not read")
        << QStringList() << QString() << QByteArray() << QByteArray() << user
        << "server " + builtIn + " from the built-in default";
    QTest::newRow("agent's own file cannot override the site")
        << QStringList() << QString() << site << QByteArray() << user
        << "server 10.9.8.7:4000 from SITE/Brellow/brellow.ini";
    QTest::newRow("environment before site file")
        << QStringList() << "10.4.4.4:4444" << site << QByteArray() << user
        << "server 10.4.4.4:4444 from the environment (BRELLOW_SERVER)";
    QTest::newRow("empty environment counts as unset")
        << QStringList() << "" << site << QByteArray() << QByteArray()
        << "server 10.9.8.7:4000 from SITE/Brellow/brellow.ini";
    QTest::newRow("command line before all")
        << QStringList{"--server", "[::1]:5"} << "10.4.4.4" << site << QByteArray() << user
        << "server [::1]:5 from the command line (--server)";
    QTest::newRow("command line, = form, last one wins")
        << QStringList{"--server=10.0.0.1", "--server=10.0.0.2:6"} << "10.4.4.4" << QByteArray()
        << QByteArray() << QByteArray() << "server 10.0.0.2:6 from the command line (--server)";
}

// No network at all (a namespace without routes): every server is out of reach,
// so each run stops at the "Cannot find server" box; the log tells which was tried.
void TestServerConfig::sourcesInOrder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(QByteArray, siteFile);
    QFETCH(QByteArray, laterSiteFile);
    QFETCH(QByteArray, userFile);
    QFETCH(QString, expected);

    BrellowHome home;
    QVERIFY(home.prepare());
    const QString laterSite = home.dir.filePath("later");
    QVERIFY(QDir().mkpath(laterSite));
    if (!siteFile.isEmpty())
        QVERIFY(writeFile(home.siteDir() + "/Brellow/brellow.ini", siteFile));
    if (!laterSiteFile.isEmpty())
        QVERIFY(writeFile(laterSite + "/Brellow/brellow.ini", laterSiteFile));
    if (!userFile.isEmpty())
        QVERIFY(writeFile(home.userSettingsPath(), userFile));
    expected.replace("SITE", home.siteDir()).replace("LATER", laterSite);

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    env.insert("XDG_CONFIG_DIRS", home.siteDir() + ':' + laterSite);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!environment.isNull())
        env.insert("BRELLOW_SERVER", environment);
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", QStringList{"-n", BRELLOW_PATH} + arguments);
    QVERIFY(brellow.waitForStarted());

    QTRY_VERIFY2_WITH_TIMEOUT(logHas(home, "Cannot find server. Please check the Internet "
                                           "connection and try again.") ||
                                  logHas(home, expected),
                              qPrintable(home.logTexts().join('\n')), 15000);
    QVERIFY2(logHas(home, expected), qPrintable(home.logTexts().join('\n')));
    QCOMPARE(::kill(pid_t(brellow.processId()), SIGTERM), 0);
    QVERIFY(brellow.waitForFinished(10000));
    QCOMPARE(brellow.exitCode(), 1);
    const QStringList texts = home.logTexts();
    QCOMPARE(texts.filter(QRegularExpression("^server ")).size(), 1);
    QCOMPARE(texts.last(), QStringLiteral("terminated"));
}

void TestServerConfig::badValueIsAnError_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");

    QTest::newRow("command line, port 0")
        << "command line"
        << "10.0.0.5:0"
        << "The statistics server \"10.0.0.5:0\" from the command line (--server) is not valid: "
           "the port must be a number from 1 to 65535.";
    QTest::newRow("command line, no value")
        << "command line" << QString()
        << "The statistics server \"\" from the command line (--server) is not valid: the value "
           "is empty.";
    QTest::newRow("environment, junk")
        << "environment"
        << "stats server"
        << "The statistics server \"stats server\" from the environment (BRELLOW_SERVER) is not "
           "valid: \"stats server\" is neither a host name nor an IPv4 address.";
    QTest::newRow("site file, trailing colon")
        << "site"
        << "10.0.0.5:"
        << "The statistics server \"10.0.0.5:\" from SITE/Brellow/brellow.ini is not valid: the "
           "port is missing after ':'.";
    QTest::newRow("site file, list")
        << "site"
        << "10.0.0.5, 10.0.0.6"
        << "The statistics server \"10.0.0.5,10.0.0.6\" from SITE/Brellow/brellow.ini is not "
           "valid: \"10.0.0.5,10.0.0.6\" is neither a host name nor an IPv4 address.";
    QTest::newRow("site file, unbracketed IPv6")
        << "site"
        << "::1"
        << "The statistics server \"::1\" from SITE/Brellow/brellow.ini is not valid: an IPv6 "
           "address must be written in brackets, as in [::1]:49999.";
}

void TestServerConfig::badValueIsAnError()
{
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(QString, message);

    BrellowHome home;
    QVERIFY(home.prepare());
    message.replace("SITE", home.siteDir());
    QProcessEnvironment env = home.environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    QStringList arguments;
    if (where == "command line")
        arguments << (value.isNull() ? QStringLiteral("--server") : "--server=" + value);
    else if (where == "environment")
        env.insert("BRELLOW_SERVER", value);
    else
        QVERIFY(writeFile(home.siteDir() + "/Brellow/brellow.ini",
                          "[General]\nserver=" + value.toUtf8() + "\n"));

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start("unshare", QStringList{"-n", BRELLOW_PATH} + arguments);
    QVERIFY(brellow.waitForStarted());

    const QString box = findBoxWindow(15000);
    QVERIFY2(!box.isEmpty(), "no message box titled brellow appeared");
    const QStringList texts = home.logTexts();
    QCOMPARE(texts.size(), 5);
    QCOMPARE(texts.at(0), QStringLiteral("started"));
    QVERIFY(texts.at(1).startsWith(QStringLiteral("engine: ")));
    QCOMPARE(texts.at(2), QStringLiteral("platform xcb"));
    QVERIFY(texts.at(3).startsWith(QStringLiteral("language ")));
    QCOMPARE(texts.at(4), message);
    dismissBox(box);
    QVERIFY(brellow.waitForFinished(10000));
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), 2);
    QCOMPARE(home.logTexts().last(), QStringLiteral("terminated"));
    QVERIFY(!QFile::exists(home.userSettingsPath()));
}

void TestServerConfig::helpAndVersionLeaveTheLogAlone_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("output");
    const QString help = "--server <HOST[:PORT]>";
    const QString version = "brellow " BRELLOW_VERSION "\n";
    QTest::newRow("--help") << QStringList{"--help", "--server=:0"} << true << QString() << help;
    QTest::newRow("-h, with a bad server")
        << QStringList{"-h", "--server=:0"} << true << QString() << help;
    QTest::newRow("--version") << QStringList{"--version", "--server=:0"} << true << QString()
                               << version;
    // Neither needs a display, nor stumbles over Qt's own options.
    QTest::newRow("--help, no display") << QStringList{"--help"} << false << QString() << help;
    QTest::newRow("--version, no display")
        << QStringList{"--version"} << false << QString() << version;
    QTest::newRow("-platform xcb --version, no display")
        << QStringList{"-platform", "xcb", "--version"} << false << QString() << version;
    QTest::newRow("-hv, no display") << QStringList{"-hv"} << false << QString() << help;
    QTest::newRow("-vv, no display") << QStringList{"-vv"} << false << QString() << version;
    // --help lists it, so it must work where --help does; Qt's own options with it.
    QTest::newRow("--help-all, no display")
        << QStringList{"--help-all", "--some-unknown-option"} << false << QString()
        << help + "|-platform <platformName[:options]>";
    QTest::newRow("--help-all") << QStringList{"--help-all"} << true << QString()
                                << help + "|-platform <platformName[:options]>";
    // In the desktop's language, Qt's texts and Brellow's.
    QTest::newRow("--help in Polish, no display")
        << QStringList{"--help"} << false << "pl_PL.UTF-8"
        << QString::fromUtf8("Opcje:\n  -h, --help") + "|" +
               QString::fromUtf8("Brellow: wyświetlacz stanu agenta dla serwera statystyk.");
    QTest::newRow("--version in Polish, no display")
        << QStringList{"--version"} << false << "pl_PL.UTF-8" << version;
}

void TestServerConfig::helpAndVersionLeaveTheLogAlone()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(QString, locale);
    QFETCH(QString, output);

    BrellowHome home;
    QVERIFY(home.prepare());
    const QByteArray runningLog = "Thu Dec 10 04:00:00 2026\tstarted\n";
    QVERIFY(writeFile(home.logPath(), runningLog));

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    if (display) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
            env.remove(name);
    }
    for (const char *name : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(name);
    if (!locale.isEmpty())
        env.insert("LANG", locale);
    env.insert("BRELLOW_SERVER", "not a server");
    brellow.setProcessEnvironment(env);
    brellow.start("unshare", QStringList{"-n", BRELLOW_PATH} + arguments);
    QVERIFY(brellow.waitForFinished(15000));
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), 0);
    const QString printed = QString::fromUtf8(brellow.readAllStandardOutput());
    if (output.endsWith('\n')) {
        QCOMPARE(printed, output);
    } else {
        for (const QString &part : output.split('|'))
            QVERIFY2(printed.contains(part), qPrintable(printed));
    }

    QFile log(home.logPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), runningLog);
    QVERIFY(!QFile::exists(home.userSettingsPath()));
}

// The real socket: brellow, on loopback, connects its UDP socket to the server
// the site file names and then shows its window.
void TestServerConfig::socketTalksToTheConfiguredServer()
{
    QUdpSocket server;
    QVERIFY(server.bind(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(server.localPort());
    BrellowHome home;
    QVERIFY(home.prepare());
    QVERIFY(writeFile(home.siteDir() + "/Brellow/brellow.ini",
                      "[General]\nserver=" + address.toUtf8() + "\n"));

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.start(BRELLOW_PATH, QStringList());
    QVERIFY(brellow.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(connectedUdpPeers(brellow.processId()).contains(address), 15000);
    QVERIFY(logHas(home, "server " + address + " from " + home.siteDir() + "/Brellow/brellow.ini"));
    QCOMPARE(::kill(pid_t(brellow.processId()), SIGTERM), 0);
    QVERIFY(brellow.waitForFinished(15000));
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), 0);
    QCOMPARE(home.logTexts().last(), QStringLiteral("terminated"));
}

void TestServerConfig::hostNameLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("silentResolver");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("local name") << "localhost" << false << "localhost is 127.0.0.1" << 0;
    QTest::newRow("name not found")
        << "no-such-host.invalid" << false << "cannot find no-such-host.invalid: " << 1;
    QTest::newRow("resolver never answers")
        << "stats.example" << true << "no answer for stats.example in time" << 1;
}

// In a namespace of its own: loopback only, a hosts file with just localhost,
// and a resolver on 127.0.0.1 that is either absent or silent.
void TestServerConfig::hostNameLookup()
{
    QFETCH(QString, name);
    QFETCH(bool, silentResolver);
    QFETCH(QString, logLine);
    QFETCH(int, exitCode);

    BrellowHome home;
    QVERIFY(home.prepare());
    const QString resolv = home.dir.filePath("resolv.conf");
    const QString hosts = home.dir.filePath("hosts");
    // A long resolver time-out: a lookup left running must not hold up the exit.
    QVERIFY(writeFile(resolv, "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n"));
    QVERIFY(writeFile(hosts, "127.0.0.1 localhost\n::1 localhost\n"));

    QStringList arguments{"-n", "-m", NSRUN_PATH, "--resolv", resolv, "--hosts", hosts};
    if (silentResolver)
        arguments << "--silent-dns";
    arguments << "--" << BRELLOW_PATH << "--server" << name;

    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    QProcessEnvironment env = home.environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking");
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    brellow.start("unshare", arguments);
    QVERIFY(brellow.waitForStarted());

    if (exitCode == 0) {
        QTRY_VERIFY_WITH_TIMEOUT(logHas(home, logLine), 15000);
        QVERIFY(logHas(home, "server " + name + ":49999 from the command line (--server)"));
        QCOMPARE(::kill(pid_t(brellow.processId()), SIGTERM), 0);
        QVERIFY(brellow.waitForFinished(15000));
    } else {
        // The lookup and the connection share the 5 s that start-up gives them.
        const QString box = findBoxWindow(8000);
        QVERIFY2(!box.isEmpty(), "no box within 8 s");
        QVERIFY2(sinceStart.elapsed() < 8000, qPrintable(QString::number(sinceStart.elapsed())));
        QVERIFY2(!home.logTexts().filter(logLine).isEmpty(),
                 qPrintable(home.logTexts().join('\n')));
        dismissBox(box);
        QVERIFY2(brellow.waitForFinished(10000), "a lookup left running held up the exit");
    }
    QCOMPARE(brellow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brellow.exitCode(), exitCode);
    QCOMPARE(home.logTexts().last(), QStringLiteral("terminated"));
}

QTEST_GUILESS_MAIN(TestServerConfig)
#include "tst_serverconfig.moc"
