#include <net/backoff.h>
#include <net/messages.h>
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>

using namespace Brellow;
using namespace DesktopDriver;

// The agent's session survives the statistics server: the real brellow logged in
// to the real practice server, which then stops (in order or killed) and comes
// back after a while, or not at all. Brellow logs in again by itself, its attempts
// spaced by the back-off, and keeps nothing of the password anywhere.
class TestResume : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void serverRestarts_data();
    void serverRestarts();

private:
    bool startSim();

    QTemporaryDir m_dir;
    QString m_users;
    QString m_script;
    quint16 m_port = 0;
    std::unique_ptr<LoggedProcess> m_sim;
    QProcess *m_windowManager = nullptr;
};

namespace {

const QString User = QStringLiteral("agent7");
const QString Password = QStringLiteral("s3cret-Pw");

// The notice's colour in the header band; the figures' green in the panels.
int pixelsNear(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAbs(qRed(p) - qRed(colour)) + qAbs(qGreen(p) - qGreen(colour)) +
                    qAbs(qBlue(p) - qBlue(colour)) <
                40)
                ++count;
        }
    }
    return count;
}

// Whether `condition` holds in every look over steadyMs in a row, within timeoutMs.
// Brellow logs what it did before the engine paints it: a notice shown and hidden
// again at once can still be painted, for a moment, after the log line that says
// the session is back.
bool holdsSteadily(const std::function<bool()> &condition, int steadyMs, int timeoutMs)
{
    QElapsedTimer steady;
    steady.start();
    return QTest::qWaitFor(
        [&] {
            if (!condition())
                steady.restart();
            return steady.elapsed() >= steadyMs;
        },
        timeoutMs);
}

constexpr QRgb NoticeOrange = qRgb(0xff, 0x63, 0x00);
constexpr QRgb FigureGreen = qRgb(0x73, 0xba, 0x62);

QStringList readLog(const QString &path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

bool TestResume::startSim()
{
    m_sim = std::make_unique<LoggedProcess>();
    m_port = startPracticeServer(*m_sim, BRELLOW_SIM_PATH, m_port,
                                 {"--users", m_users, "--script", m_script, "--idle-timeout", "0"});
    return m_port != 0;
}

void TestResume::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under an X server");
    QVERIFY(m_dir.isValid());
    m_windowManager = new QProcess(this);
    ChildProcess::dieWithParent(*m_windowManager);
    m_windowManager->setStandardOutputFile(QProcess::nullDevice());
    m_windowManager->setStandardErrorFile(QProcess::nullDevice());
    m_windowManager->start("openbox", {});
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);

    m_users = m_dir.filePath("users");
    QFile users(m_users);
    QVERIFY(users.open(QIODevice::WriteOnly));
    users.write((User + ' ' + Messages::passwordDigest(Password) + '\n').toUtf8());
    users.close();
    // The figures at each login; no calls.
    m_script = m_dir.filePath("figures.jsonl");
    QFile script(m_script);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(R"({"delay_ms":0,"msg":{"cmd":"update_stat","data":)"
                 R"({"user_surveys":12,"average_score":0.5,"team_position":3,"team_surveys":140}}})"
                 "\n");
    script.close();
    // A free port, kept for the server's restarts.
    QVERIFY(startSim());
    m_sim->terminate();
}

void TestResume::cleanupTestCase()
{
    if (m_sim)
        m_sim->terminate();
    if (m_windowManager) {
        m_windowManager->terminate();
        m_windowManager->waitForFinished(5000);
    }
}

void TestResume::serverRestarts_data()
{
    QTest::addColumn<int>("stopSignal");
    QTest::addColumn<int>("downMs");     // -1: not back
    QTest::addColumn<QString>("resume"); // the site's key; empty: unset
    QTest::newRow("stopped, back after 5 s") << int(SIGTERM) << 5000 << "";
    QTest::newRow("stopped, back after 45 s") << int(SIGTERM) << 45000 << "";
    QTest::newRow("killed, back after 5 s") << int(SIGKILL) << 5000 << "";
    QTest::newRow("stopped beyond the limit") << int(SIGTERM) << -1 << "0.25";
}

void TestResume::serverRestarts()
{
    QFETCH(int, stopSignal);
    QFETCH(int, downMs);
    QFETCH(QString, resume);

    QTemporaryDir home;
    QVERIFY(home.isValid());
    for (const char *folder : {"config", "site/Brellow", "run"})
        QVERIFY(QDir(home.path()).mkpath(folder));
    QFile::setPermissions(home.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!resume.isEmpty()) {
        QFile site(home.filePath("site/Brellow/brellow.ini"));
        QVERIFY(site.open(QIODevice::WriteOnly));
        site.write("[General]\nresume=" + resume.toLatin1() + "\n");
    }
    const QProcessEnvironment env = brellowEnvironment(home.path());
    const QString logPath = home.filePath("config/Brellow/brellow.log");
    const auto waitForLog = [&logPath](const QString &text, int timeoutMs) {
        return QTest::qWaitFor([&] { return !readLog(logPath).filter(text).isEmpty(); }, timeoutMs);
    };

    QVERIFY(startSim());
    LoggedProcess brellow;
    brellow.process().setProcessEnvironment(env);
    brellow.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brellow.process().start(BRELLOW_PATH, {"--server", QStringLiteral("127.0.0.1:%1").arg(m_port)});
    QVERIFY(brellow.process().waitForStarted());
    const QString window = findMainWindow();
    QVERIFY(!window.isEmpty());
    const QRect geometry =
        waitForWindowSize(window, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 15000);
    QVERIFY(!geometry.isNull());
    QVERIFY2(waitForFace(geometry), "the page never showed");
    typeLogin(geometry, User, Password);
    QVERIFY2(waitForLog("\tlogin accepted for user " + User, 15000),
             qPrintable(readLog(logPath).join('\n')));
    QTRY_VERIFY_WITH_TIMEOUT(pixelsNear(grab(geometry), FigureGreen) > 50, 10000);

    ::kill(pid_t(m_sim->process().processId()), stopSignal);
    QVERIFY(m_sim->process().waitForFinished(5000));
    QElapsedTimer down;
    down.start();
    if (stopSignal == SIGTERM) {
        // Told at once: Brellow starts over by itself and says so in its face.
        QVERIFY(waitForLog("\tsession ended by the server", 5000));
        QVERIFY(waitForLog("\tresuming the session of user " + User, 5000));
        const QRect header(geometry.topLeft(), QSize(geometry.width(), 26));
        QTRY_VERIFY_WITH_TIMEOUT(pixelsNear(grab(header), NoticeOrange) > 20, 10000);
    }

    if (downMs >= 0) {
        QTest::qWait(int(qMax<qint64>(0, downMs - down.elapsed())));
        QVERIFY(startSim());
        // A killed server never said goodbye: Brellow finds out at its next ping.
        QVERIFY2(waitForLog("\tsession resumed for user " + User, 90000),
                 qPrintable(readLog(logPath).join('\n')));
        QVERIFY(m_sim->waitForLine(QRegularExpression(" opened user " + User + "$")) >= 0);
        // As it was: figures, no notice, the agent typed nothing.
        const QRect header(geometry.topLeft(), QSize(geometry.width(), 26));
        QVERIFY2(
            holdsSteadily([&] { return pixelsNear(grab(header), NoticeOrange) == 0; }, 2000, 20000),
            qPrintable(readLog(logPath).join('\n')));
        QVERIFY(pixelsNear(grab(geometry), FigureGreen) > 50);
    } else {
        QVERIFY2(waitForLog("\tresume stopped: the server did not take the session back", 60000),
                 qPrintable(readLog(logPath).join('\n')));
        // The login form again, the name kept: no figures left on show.
        QTRY_VERIFY_WITH_TIMEOUT(pixelsNear(grab(geometry), FigureGreen) == 0, 10000);
        QVERIFY(down.elapsed() >= 15000);
    }

    // The attempts and their spacing: at once, then about 2, 4, 8 ... s.
    const QRegularExpression attemptLine(
        R"(^(.+)\tresume attempt (\d+) \(the next in ([\d.]+) s without an answer\)$)");
    QList<QDateTime> times;
    QList<double> waits;
    for (const QString &line : readLog(logPath)) {
        const QRegularExpressionMatch m = attemptLine.match(line);
        if (!m.hasMatch())
            continue;
        QCOMPARE(m.captured(2).toInt(), times.size() + 1);
        times << QDateTime::fromString(m.captured(1), Qt::TextDate);
        waits << m.captured(3).toDouble();
    }
    QVERIFY(!times.isEmpty());
    Backoff nominal(1);
    nominal.nextWaitMs(); // the first attempt, at once
    for (int i = 0; i < waits.size(); ++i) {
        const double expected = nominal.nominalWaitMs() / 1000.0;
        nominal.nextWaitMs();
        QVERIFY2(waits.at(i) >= expected * (1 - Backoff::Jitter) - 0.1 &&
                     waits.at(i) <= qMin(expected * (1 + Backoff::Jitter), 30.0) + 0.1,
                 qPrintable(QStringLiteral("attempt %1 waits %2 s").arg(i + 1).arg(waits.at(i))));
        // The log's clock has whole seconds.
        if (i + 1 < times.size()) {
            const qint64 gap = times.at(i).secsTo(times.at(i + 1));
            QVERIFY2(qAbs(gap - waits.at(i)) <= 1.5, qPrintable(QString::number(gap)));
        }
    }
    qInfo("%lld attempts, waits %s s", qint64(waits.size()), qPrintable([&] {
              QStringList texts;
              for (double w : waits)
                  texts << QString::number(w, 'f', 1);
              return texts.join(", ");
          }()));

    QVERIFY(brellow.terminate(15000));
    QCOMPARE(brellow.process().exitCode(), 0);

    // Nothing of the password anywhere: settings, log, runtime folder. The user
    // name is kept, as always, for the next login.
    const QByteArray digest = Messages::passwordDigest(Password).toLatin1();
    QStringList checked;
    for (const char *folder : {"config", "run", "site"}) {
        QDirIterator it(home.filePath(folder), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray content = file.readAll();
            checked << file.fileName();
            QVERIFY2(!content.contains(Password.toUtf8()), qPrintable(file.fileName()));
            QVERIFY2(!content.contains(digest), qPrintable(file.fileName()));
        }
    }
    QVERIFY(checked.contains(logPath));
    QFile settings(home.filePath("config/Brellow/brellow.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("loginUsername=" + User.toUtf8()));
    m_sim->terminate();
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestResume test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resume.moc"
