#include <tools/desktopdriver.h>
#include <ui/mainwindow.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;

using namespace DesktopDriver;

// The real brellow and brellow-sim as processes on a private X server: an agent
// logs in through the page, watches figures and a scripted call, sends a
// no-transfer reason and leaves; the server's log shows what went over the wire.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void logInThroughThePage();
    void callExpandsThenCollapsesAfterTenSeconds();
    void expandedWindowShowsFigureColours();
    void noTransferTextGoesAsTyped();
    void pingsCarryTheSession();
    void terminationLogsOutOnce();

private:
    QPoint onWindow(const QRect &element) const { return m_window.topLeft() + element.center(); }
    QDateTime loggedAt(const QString &line) const;

    QTemporaryDir m_dir;
    LoggedProcess *m_sim = nullptr;
    LoggedProcess *m_brellow = nullptr;
    QString m_windowId;
    QRect m_window;
    QString m_sessionId;
    int m_loginLine = -1;
    QRect m_expandedWindow;
};

// How many different colours an image holds, up to a few hundred.
static int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 256; y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
}

static const QString noTransferText = QStringLiteral("Customer's line dropped, \"twice\"");

QDateTime TestEndToEnd::loggedAt(const QString &line) const
{
    return QDateTime::fromString(line.section(' ', 0, 0),
                                 QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"));
}

void TestEndToEnd::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under scripts/with-xvfb.sh");
    QVERIFY(m_dir.isValid());

    // The scripted call: figures, a call whose answers arrive one by one, its outcome.
    QFile script(m_dir.filePath("call.script"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        R"({"delay_ms": 300, "msg": {"cmd":"update_stat","data":{"user_surveys":12,"average_score":0.755,"team_position":3,"team_surveys":140}}})"
        "\n"
        R"({"delay_ms": 2500, "msg": {"cmd":"update_live","data":{"call_started":true,"call_cli":"07700 900123","call_question":1,"call_answers":[5]}}})"
        "\n"
        R"({"delay_ms": 800, "msg": {"cmd":"update_live","data":{"call_question":2,"call_answers":[5,4]}}})"
        "\n"
        R"({"delay_ms": 800, "msg": {"cmd":"update_live","data":{"call_question":3,"call_answers":[5,4,2],"call_completed":true,"call_score":"4.5"}}})"
        "\n");
    script.close();

    m_sim = new LoggedProcess(this);
    // A free port that the server picks and names in its log.
    const quint16 port = startPracticeServer(
        *m_sim, BRELLOW_SIM_PATH, 0, {"--script", script.fileName(), "--idle-timeout", "0"});
    QVERIFY2(port != 0, "the practice server did not start listening");
    const QString server = QStringLiteral("127.0.0.1:%1").arg(port);

    m_brellow = new LoggedProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    m_brellow->process().setProcessEnvironment(env);
    m_brellow->process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_brellow->process().start(BRELLOW_PATH, {"--server", server});
    QVERIFY(m_brellow->process().waitForStarted());

    m_windowId = findWindow("brellow", 20000);
    QVERIFY2(!m_windowId.isEmpty(), "no brellow window appeared");
    m_window = waitForWindowSize(m_windowId,
                                 QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 10000);
    QVERIFY(!m_window.isNull());
    // Near the bottom of the 1920 x 1080 screen, as on a first start.
    QCOMPARE(m_window.topLeft(), QPoint(778, 950));
}

void TestEndToEnd::cleanupTestCase()
{
    if (m_brellow)
        m_brellow->terminate();
    if (m_sim)
        m_sim->terminate();
}

void TestEndToEnd::logInThroughThePage()
{
    // Type only once the page shows: its face has many colours, an empty window few.
    QVERIFY2(QTest::qWaitFor([this] { return colourCount(grab(m_window)) >= 16; }, 30000),
             "the page never showed");
    click(onWindow(elementRect("#username", Face::LoggedOutCompact)));
    type("demo");
    click(onWindow(elementRect("#password", Face::LoggedOutCompact)));
    type("demo");
    click(onWindow(elementRect("#login_button", Face::LoggedOutCompact)));

    m_loginLine = m_sim->waitForLine(QRegularExpression(R"( in 127\.0\.0\.1:\d+ .*"cmd":"login")"));
    QVERIFY2(m_loginLine >= 0, qPrintable(m_sim->lines().join('\n')));
    const QJsonObject login =
        QJsonDocument::fromJson(m_sim->lines().at(m_loginLine).section(' ', 3).toUtf8()).object();
    QCOMPARE(login.value("username").toString(), QStringLiteral("demo"));
    QCOMPARE(login.value("password").toString(),
             QString(QCryptographicHash::hash("demo", QCryptographicHash::Md5).toHex()));
    QVERIFY(!login.contains("session_id"));

    const int ack =
        m_sim->waitForLine(QRegularExpression(R"( out .*"cmd":"login_ack")"), m_loginLine);
    QVERIFY(ack >= 0);
    m_sessionId = QJsonDocument::fromJson(m_sim->lines().at(ack).section(' ', 3).toUtf8())
                      .object()
                      .value("session_id")
                      .toString();
    QVERIFY(!m_sessionId.isEmpty());
    QVERIFY(m_sim->waitForLine(QRegularExpression(R"( out .*"cmd":"update_stat")"), ack) >= 0);
}

void TestEndToEnd::callExpandsThenCollapsesAfterTenSeconds()
{
    m_expandedWindow = waitForWindowSize(
        m_windowId, QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight), 15000);
    QVERIFY2(!m_expandedWindow.isNull(), "the call did not expand the window");
    // It grew upward from the bottom of the screen.
    QCOMPARE(m_expandedWindow.topLeft(), QPoint(778, 772));

    const int outcome = m_sim->waitForLine(QRegularExpression(R"( out .*"call_completed":true)"),
                                           m_loginLine, 15000);
    QVERIFY(outcome >= 0);
    const QDateTime outcomeAt = loggedAt(m_sim->lines().at(outcome));
    QVERIFY(outcomeAt.isValid());

    const QRect collapsed = waitForWindowSize(
        m_windowId, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight), 25000);
    QVERIFY2(!collapsed.isNull(), "the window did not collapse after the call");
    m_window = collapsed;
    const qint64 after = outcomeAt.msecsTo(QDateTime::currentDateTime());
    QVERIFY2(after >= 9500, qPrintable(QString("collapsed %1 ms after the outcome").arg(after)));
    QCOMPARE(collapsed.topLeft(), QPoint(778, 950));
}

void TestEndToEnd::expandedWindowShowsFigureColours()
{
    // Expand by the header's "+" and look at the four figure badges.
    click(onWindow(elementRect("#button_expand", Face::LoggedInCompact)));
    m_expandedWindow = waitForWindowSize(
        m_windowId, QSize(MainWindow::WindowWidth, MainWindow::ExpandedHeight), 10000);
    QVERIFY(!m_expandedWindow.isNull());
    m_window = m_expandedWindow;

    const struct
    {
        const char *selector;
        QColor colour;
    } badges[] = {{"#user_surveys", QColor("#73ba62")},
                  {"#average_score", QColor("#d04d4e")},
                  {"#team_position", QColor("#e89300")},
                  {"#team_surveys", QColor("#d04d4e")}};
    QList<QRect> rects;
    for (const auto &badge : badges) {
        rects << elementRect(badge.selector, Face::LoggedInExpanded);
        QVERIFY(rects.last().width() > 20);
    }
    // Left of the right-aligned figure: plain badge colour.
    const auto seenAt = [](const QImage &shot, const QRect &rect) {
        return shot.pixelColor(rect.left() + 5, rect.center().y());
    };
    const auto distance = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
    };
    // The window has its new size before the page has painted into it: wait for
    // the colours themselves.
    QImage shot;
    // On time-out the last shot is checked below, badge by badge.
    [[maybe_unused]] const bool painted = QTest::qWaitFor(
        [&] {
            shot = grab(m_expandedWindow);
            for (int i = 0; i < rects.size(); ++i) {
                if (distance(seenAt(shot, rects.at(i)), badges[i].colour) >= 30)
                    return false;
            }
            return true;
        },
        15000);
    QVERIFY(!shot.isNull());
    shot.save(m_dir.filePath("expanded.png"));
    for (int i = 0; i < rects.size(); ++i) {
        const QColor seen = seenAt(shot, rects.at(i));
        QVERIFY2(distance(seen, badges[i].colour) < 30,
                 qPrintable(QString("%1 shows %2").arg(badges[i].selector, seen.name())));
    }
}

void TestEndToEnd::noTransferTextGoesAsTyped()
{
    click(onWindow(elementRect("#no_transfer", Face::LoggedInExpanded)));
    type(noTransferText);
    click(onWindow(elementRect("#main_box .no-transfers-form a", Face::LoggedInExpanded)));
    const int sent =
        m_sim->waitForLine(QRegularExpression(R"( in .*"cmd":"notransfer")"), m_loginLine);
    QVERIFY(sent >= 0);
    const QJsonObject message =
        QJsonDocument::fromJson(m_sim->lines().at(sent).section(' ', 3).toUtf8()).object();
    QCOMPARE(message.value("text").toString(), noTransferText);
    QCOMPARE(message.value("session_id").toString(), m_sessionId);
    QVERIFY(m_sim->waitForLine(QRegularExpression(R"( out .*"cmd":"notransfer_ack")"), sent) >= 0);
}

void TestEndToEnd::pingsCarryTheSession()
{
    // Logged in for well over twenty seconds by now; wait for a third ping if needed.
    QVERIFY(m_sim->waitForLine(QRegularExpression(R"( in .*"cmd":"ping")"), m_loginLine, 30000) >=
            0);
    QStringList pings;
    QVERIFY(QTest::qWaitFor(
        [&] {
            pings = m_sim->linesMatching(QRegularExpression(R"( in .*"cmd":"ping")"), m_loginLine);
            return pings.size() >= 2;
        },
        25000));
    for (int i = 0; i < pings.size(); ++i) {
        const QJsonObject ping =
            QJsonDocument::fromJson(pings.at(i).section(' ', 3).toUtf8()).object();
        QCOMPARE(ping.value("session_id").toString(), m_sessionId);
        if (i > 0) {
            const qint64 gap = loggedAt(pings.at(i - 1)).msecsTo(loggedAt(pings.at(i)));
            QVERIFY2(gap >= 9000, qPrintable(QString("pings %1 ms apart").arg(gap)));
        }
    }
}

void TestEndToEnd::terminationLogsOutOnce()
{
    const int before = m_sim->lines().size();
    QVERIFY(m_brellow->terminate(15000));
    QCOMPARE(m_brellow->process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_brellow->process().exitCode(), 0);
    QVERIFY(m_sim->waitForLine(QRegularExpression(R"( in .*"cmd":"logout")"), before, 5000) >= 0);
    QTest::qWait(500);
    const QStringList logouts =
        m_sim->linesMatching(QRegularExpression(R"( in .*"cmd":"logout")"), m_loginLine);
    QCOMPARE(logouts.size(), 1);
    QVERIFY(logouts.first().contains(m_sessionId));

    QFile log(m_dir.filePath("config/Brellow/brellow.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(lines.first().endsWith("\tstarted"));
    QVERIFY(lines.last().endsWith("\tterminated"));

    // The compact geometry was saved for the next start.
    QFile settings(m_dir.filePath("config/Brellow/brellow.ini"));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray ini = settings.readAll();
    QVERIFY(ini.contains("mainWindowGeometry="));
    QVERIFY(ini.contains("loginUsername=demo"));
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e.moc"
