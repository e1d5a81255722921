// The real brellow on two screens of different heights (Qt's offscreen platform
// with tests/ui/twoscreens.json: A 1920 x 1080 at the origin, B 1280 x 1024 on its
// right): where a saved place comes back, read from the page itself over the
// engine's remote-debugging endpoint on 127.0.0.1, and what brellow saves on exit.
#include <bench/cdpclient.h>
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>
#include <ui/savedgeometry.h>

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>

namespace {

QByteArray savedAt(const QPoint &place)
{
    QWidget saved(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    saved.setGeometry(QRect(place, QSize(364, 90)));
    return saved.saveGeometry();
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void savedPlaceOnTwoScreens_data();
    void savedPlaceOnTwoScreens();
};

void TestScreens::savedPlaceOnTwoScreens_data()
{
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("nothing saved: first start on A") << QByteArray() << QPoint(778, 950);
    QTest::newRow("on B: kept") << savedAt({2500, 400}) << QPoint(2500, 400);
    QTest::newRow("on a third screen now unplugged: onto B")
        << savedAt({3500, 500}) << QPoint(2836, 500);
    QTest::newRow("corrupt: first start on A") << QByteArray("\x01\x02garbage") << QPoint(778, 950);
}

void TestScreens::savedPlaceOnTwoScreens()
{
    QFETCH(QByteArray, saved);
    QFETCH(QPoint, place);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir dir(home.path());
    QVERIFY(dir.mkpath("run") && dir.mkpath("config/Brellow"));
    QVERIFY(QFile::setPermissions(dir.filePath("run"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString ini = dir.filePath("config/Brellow/brellow.ini");
    if (!saved.isEmpty()) {
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue("mainWindowGeometry", saved);
    }

    const quint16 port = freePort();
    QVERIFY(port != 0);
    QProcessEnvironment env = DesktopDriver::brellowEnvironment(home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" BRELLOW_SCREENS_FILE);
    env.insert("QTWEBENGINE_REMOTE_DEBUGGING", QStringLiteral("127.0.0.1:%1").arg(port));
    QProcess brellow;
    ChildProcess::dieWithParent(brellow);
    brellow.setProcessEnvironment(env);
    brellow.setProcessChannelMode(QProcess::ForwardedChannels);
    brellow.start(BRELLOW_PATH, {});
    QVERIFY(brellow.waitForStarted());

    QString url;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (const QJsonValue &target : CdpClient::targets(port)) {
                if (target["url"].toString().startsWith("qrc:"))
                    url = target["webSocketDebuggerUrl"].toString();
            }
            return !url.isEmpty();
        }(),
        30000);
    CdpClient page;
    QVERIFY2(page.open(url), qPrintable(page.error()));
    const auto read = [&](const char *expression) {
        bool ok = false;
        const int value = page.evaluate(QString::fromLatin1(expression), 0, 5000, &ok).toInt();
        return ok ? value : -99999;
    };
    QTRY_COMPARE_WITH_TIMEOUT(QPoint(read("window.screenX"), read("window.screenY")), place, 15000);
    QCOMPARE(read("window.outerWidth"), 364);
    QCOMPARE(read("window.outerHeight"), 90);
    page.close();

    // Ended as a session's end would end it: the place it saves is the one it had.
    ::kill(pid_t(brellow.processId()), SIGTERM);
    QVERIFY(brellow.waitForFinished(15000));
    QCOMPARE(brellow.exitCode(), 0);
    const std::optional<QRect> stored = Brellow::SavedGeometry::windowRect(
        QSettings(ini, QSettings::IniFormat).value("mainWindowGeometry").toByteArray());
    QVERIFY(stored.has_value());
    QCOMPARE(*stored, QRect(place, QSize(364, 90)));
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
