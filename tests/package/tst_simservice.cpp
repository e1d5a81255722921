// brellow-sim's system service as the package ships it: the unit checked by systemd's
// own tools, and the server started the way the unit starts it, with its environment
// file and its files in /etc/brellow-sim, to serve a client over UDP and stop on SIGTERM.
// systemd itself does not run in the test's container, so the test reads the unit and
// starts the command line by hand, with the parts of the unit's sandbox a process can
// put on itself.

#include <net/messages.h>
#include <sim/accounts.h>
#include <sim/medialinks.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Linux 6.3's switch that refuses memory both writable and executable; older headers
// do not name it.
#ifndef PR_SET_MDWE
#define PR_SET_MDWE 65
#define PR_GET_MDWE 66
#endif
#ifndef PR_MDWE_REFUSE_EXEC_GAIN
#define PR_MDWE_REFUSE_EXEC_GAIN 1
#endif

using namespace Brellow;

namespace {

const QString unitPath = QStringLiteral("lib/systemd/system/brellow-sim.service");

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// KEY=VALUE lines of a unit's [Service] section or of an environment file; later lines
// add to a key's list, as systemd reads repeated settings.
QMultiMap<QString, QString> settings(const QString &text, const QString &section = {})
{
    QMultiMap<QString, QString> values;
    QString current;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            current = line;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && current == section)
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &args,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.output = program + QStringLiteral(" did not finish");
        return r;
    }
    r.output = QString::fromUtf8(p.readAll());
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

} // namespace

class TestSimService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unitIsInThePackage();
    void notEnabledByThePackage();
    void shippedFiles();
    void unitVerifies();
    void exposure();
    void runsAsTheUnitSays_data();
    void runsAsTheUnitSays();

private:
    QString root(const QString &path = {}) const
    {
        return m_dir.filePath(QStringLiteral("root/") + path);
    }
    // ExecStart's words with the environment file's values in, every absolute path
    // under the unpacked package.
    QStringList commandLine(const QMap<QString, QString> &overrides, QString *error) const;

    QTemporaryDir m_dir;
    QString m_deb;
};

void TestSimService::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir debs(QStringLiteral(BRELLOW_DEB_DIR));
    const QStringList files = debs.entryList({QStringLiteral("brellow-sim_*.deb")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    m_deb = debs.filePath(files.first());
    const Run x = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, root()});
    QVERIFY2(x.exitCode == 0, qPrintable(x.output));
}

void TestSimService::unitIsInThePackage()
{
    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
    QCOMPARE(listing.exitCode, 0);
    QVERIFY2(listing.output.contains(QRegularExpression(
                 QStringLiteral(
                     R"(^-rw-r--r-- root/root .* \./lib/systemd/system/brellow-sim\.service$)"),
                 QRegularExpression::MultilineOption)),
             qPrintable(listing.output));

    const QMultiMap<QString, QString> service =
        settings(readText(root(unitPath)), QStringLiteral("[Service]"));
    QCOMPARE(service.value(QStringLiteral("DynamicUser")), QStringLiteral("yes"));
    QCOMPARE(service.value(QStringLiteral("ProtectSystem")), QStringLiteral("strict"));
    QCOMPARE(service.value(QStringLiteral("EnvironmentFile")),
             QStringLiteral("/etc/brellow-sim/brellow-sim.env"));
    // Clients come over the network: it must keep the host's network.
    QVERIFY(!service.contains(QStringLiteral("PrivateNetwork")));
    QVERIFY(!service.contains(QStringLiteral("ReadWritePaths")));
}

void TestSimService::notEnabledByThePackage()
{
    // No maintainer scripts to enable or start it, and no enablement link shipped.
    const QString control = m_dir.filePath(QStringLiteral("control"));
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-e"), m_deb, control}).exitCode, 0);
    for (const char *script : {"preinst", "postinst", "prerm", "postrm"})
        QVERIFY2(!QFileInfo::exists(QDir(control).filePath(QLatin1String(script))), script);
    QVERIFY(!QFileInfo::exists(root(QStringLiteral("etc/systemd"))));
    QVERIFY(!QFileInfo::exists(root(QStringLiteral("lib/systemd/system/multi-user.target.wants"))));
    QCOMPARE(settings(readText(root(unitPath)), QStringLiteral("[Install]"))
                 .value(QStringLiteral("WantedBy")),
             QStringLiteral("multi-user.target"));
}

void TestSimService::shippedFiles()
{
    // The demo account, and the call reasons the server has built in.
    Accounts accounts;
    QString error;
    QVERIFY2(accounts.load(root(QStringLiteral("etc/brellow-sim/users")), &error),
             qPrintable(error));
    QCOMPARE(accounts.size(), 1);
    QVERIFY(accounts.check(Accounts::demoUser(), Accounts::digest(Accounts::demoPassword())));

    QJsonArray links;
    QVERIFY2(
        MediaLinks::load(root(QStringLiteral("etc/brellow-sim/media-links.json")), &links, &error),
        qPrintable(error));
    QCOMPARE(links, MediaLinks::builtIn());

    const QMultiMap<QString, QString> env =
        settings(readText(root(QStringLiteral("etc/brellow-sim/brellow-sim.env"))));
    QCOMPARE(env.value(QStringLiteral("BRELLOW_SIM_LISTEN")),
             QStringLiteral("0.0.0.0:%1").arg(Messages::ServerPort));
    QVERIFY(env.contains(QStringLiteral("BRELLOW_SIM_OPTIONS")));
}

void TestSimService::unitVerifies()
{
    // The unit's ordering names targets of the running system; the unpacked package has
    // none, so the host's go beside it. Documentation= is looked up in the package's
    // manual pages.
    const QDir host(QStringLiteral("/lib/systemd/system"));
    const QStringList targets = host.entryList({QStringLiteral("*.target")}, QDir::Files);
    QVERIFY(targets.contains(QStringLiteral("multi-user.target")));
    for (const QString &target : targets)
        QVERIFY(QFile::copy(host.filePath(target),
                            root(QStringLiteral("lib/systemd/system/") + target)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MANPATH"), root(QStringLiteral("usr/share/man")));
    const Run verify = run(QStringLiteral("systemd-analyze"),
                           {QStringLiteral("verify"), QStringLiteral("--root=") + root(),
                            QStringLiteral("brellow-sim.service")},
                           env);
    // Warnings leave the exit code at 0: the output must be empty too.
    QVERIFY2(verify.exitCode == 0 && verify.output.trimmed().isEmpty(), qPrintable(verify.output));
}

void TestSimService::exposure()
{
    const Run security = run(QStringLiteral("systemd-analyze"),
                             {QStringLiteral("security"), QStringLiteral("--offline=true"),
                              QStringLiteral("--root=") + root(), QStringLiteral("--no-pager"),
                              QStringLiteral("brellow-sim.service")});
    QVERIFY2(security.exitCode == 0, qPrintable(security.output));
    const QRegularExpressionMatch level =
        QRegularExpression(
            QStringLiteral(R"(Overall exposure level for brellow-sim\.service: (\d+\.\d))"))
            .match(security.output);
    QVERIFY2(level.hasMatch(), qPrintable(security.output));
    qInfo().noquote() << "exposure level" << level.captured(1);
    QVERIFY2(level.captured(1).toDouble() <= 1.5, qPrintable(security.output));
}

QStringList TestSimService::commandLine(const QMap<QString, QString> &overrides,
                                        QString *error) const
{
    const QMultiMap<QString, QString> service =
        settings(readText(root(unitPath)), QStringLiteral("[Service]"));
    const QStringList execStart = service.values(QStringLiteral("ExecStart"));
    if (execStart.size() != 1) {
        *error = QStringLiteral("want one ExecStart, not %1").arg(execStart.size());
        return {};
    }
    QMap<QString, QString> env;
    const QMultiMap<QString, QString> file =
        settings(readText(root(service.value(QStringLiteral("EnvironmentFile")).mid(1))));
    for (auto it = file.cbegin(); it != file.cend(); ++it)
        env.insert(it.key(), it.value());
    env.insert(overrides);

    // "${NAME}" is one word; "$NAME" alone splits into words, none if empty. The line
    // has no quoting; one with quotes would need systemd's full rules.
    if (execStart.first().contains(QLatin1Char('"')) ||
        execStart.first().contains(QLatin1Char('\''))) {
        *error = QStringLiteral("quoted ExecStart: ") + execStart.first();
        return {};
    }
    static const QRegularExpression braced(QStringLiteral(R"(\$\{(\w+)\})"));
    static const QRegularExpression bare(QStringLiteral(R"(^\$(\w+)$)"));
    QStringList words;
    for (QString word : execStart.first().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch whole = bare.match(word);
        if (whole.hasMatch()) {
            words += env.value(whole.captured(1)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            continue;
        }
        QRegularExpressionMatch variable;
        while ((variable = braced.match(word)).hasMatch()) {
            if (!env.contains(variable.captured(1))) {
                *error = QStringLiteral("no value for ") + variable.captured(0);
                return {};
            }
            word.replace(variable.capturedStart(), variable.capturedLength(),
                         env.value(variable.captured(1)));
        }
        words += word.startsWith(QLatin1Char('/')) ? root(word.mid(1)) : word;
    }
    return words;
}

void TestSimService::runsAsTheUnitSays_data()
{
    QTest::addColumn<bool>("denyWriteExecute");
    QTest::newRow("umask and no new privileges") << false;
    QTest::newRow("and no writable executable memory") << true;
}

void TestSimService::runsAsTheUnitSays()
{
    QFETCH(bool, denyWriteExecute);
    if (denyWriteExecute && prctl(PR_GET_MDWE, 0, 0, 0, 0) < 0)
        QSKIP("this kernel cannot refuse writable executable memory to a process");

    QString error;
    // The shipped address would be 0.0.0.0:49999; the test stays on loopback, any port.
    const QStringList words =
        commandLine({{QStringLiteral("BRELLOW_SIM_LISTEN"), QStringLiteral("127.0.0.1:0")},
                     {QStringLiteral("BRELLOW_SIM_OPTIONS"), QString()}},
                    &error);
    QVERIFY2(!words.isEmpty(), qPrintable(error));
    QCOMPARE(words.first(), root(QStringLiteral("usr/bin/brellow-sim")));
    QVERIFY2(words.contains(root(QStringLiteral("etc/brellow-sim/users"))),
             qPrintable(words.join(' ')));

    QProcess sim;
    // What UMask=, NoNewPrivileges= and MemoryDenyWriteExecute= ask of the process.
    sim.setChildProcessModifier([denyWriteExecute] {
        ::umask(0077);
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
            ::_exit(120);
        if (denyWriteExecute && prctl(PR_SET_MDWE, PR_MDWE_REFUSE_EXEC_GAIN, 0, 0, 0) != 0)
            ::_exit(121);
    });
    sim.start(words.first(), words.mid(1));
    QVERIFY(sim.waitForStarted());
    QByteArray log;
    const QRegularExpression listening(QStringLiteral(R"( listening 127\.0\.0\.1:(\d+)\n)"));
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     log += sim.readAllStandardOutput();
                     return listening.match(QString::fromUtf8(log)).hasMatch() ||
                            sim.state() == QProcess::NotRunning;
                 },
                 10000),
             log.constData());
    const QRegularExpressionMatch bound = listening.match(QString::fromUtf8(log));
    QVERIFY2(bound.hasMatch(), qPrintable(QString::fromUtf8(log + sim.readAllStandardError())));
    QVERIFY2(log.contains(" accounts 1 " + root(QStringLiteral("etc/brellow-sim/users")).toUtf8()),
             log.constData());

    QUdpSocket client;
    client.connectToHost(QHostAddress::LocalHost, bound.captured(1).toUShort());
    QVERIFY(client.waitForConnected(1000));
    QList<QJsonObject> inbox;
    connect(&client, &QUdpSocket::readyRead, this, [&] {
        while (client.hasPendingDatagrams())
            inbox.append(QJsonDocument::fromJson(client.receiveDatagram().data()).object());
    });
    const auto take = [&](QLatin1StringView cmd) {
        const auto find = [&] {
            for (int i = 0; i < inbox.size(); ++i) {
                if (inbox.at(i).value(Messages::Cmd).toString() == cmd)
                    return i;
            }
            return -1;
        };
        return QTest::qWaitFor([&] { return find() >= 0; }, 5000) ? inbox.takeAt(find())
                                                                  : QJsonObject();
    };

    const QJsonObject login{{Messages::Cmd, Messages::Login},
                            {Messages::Username, Accounts::demoUser()},
                            {Messages::Password, Accounts::digest(Accounts::demoPassword())}};
    client.write(QJsonDocument(login).toJson(QJsonDocument::Compact));
    const QJsonObject ack = take(Messages::LoginAck);
    QVERIFY2(!ack.value(Messages::SessionId).toString().isEmpty(),
             qPrintable(QString::fromUtf8(log + sim.readAllStandardOutput())));
    QJsonArray shipped;
    QVERIFY(MediaLinks::load(root(QStringLiteral("etc/brellow-sim/media-links.json")), &shipped,
                             &error));
    QCOMPARE(ack.value(Messages::MediaLinks).toArray(), shipped);

    // systemctl stop: SIGTERM; the logged-in client hears that the server is gone.
    QCOMPARE(::kill(static_cast<pid_t>(sim.processId()), SIGTERM), 0);
    QVERIFY(!take(Messages::ShutdownAck).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(sim.state(), QProcess::NotRunning, 5000);
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    log += sim.readAllStandardOutput();
    QVERIFY2(log.contains(" stopped SIGTERM malformed=0\n"), log.constData());
}

QTEST_GUILESS_MAIN(TestSimService)
#include "tst_simservice.moc"
