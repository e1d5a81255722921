// The real brellow at QT_SCALE_FACTOR 1.25, 1.5 and 2 (and at Xft.dpi 144) on a private X server
// with a window manager and no compositor: its window has the scaled size at the scaled first-start
// place, its corners are cut at the scaled radius with no gaps, and a drag by real pointer events
// moves it by as many pixels as the pointer moved.
#include <tools/childprocess.h>
#include <tools/desktopdriver.h>

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <memory>

using namespace DesktopDriver;

namespace {

const QColor Desktop("#4a6f8a");

int colourDistance(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

bool near(const QRect &seen, const QRect &expected, int slack)
{
    return qAbs(seen.x() - expected.x()) <= slack && qAbs(seen.y() - expected.y()) <= slack &&
           qAbs(seen.width() - expected.width()) <= slack &&
           qAbs(seen.height() - expected.height()) <= slack;
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void xdotool(const QStringList &args)
{
    QCOMPARE(ChildProcess::execute(QStringLiteral("xdotool"), args), 0);
}

} // namespace

class TestHighDpiDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void scaledWindow_data();
    void scaledWindow();

private:
    std::unique_ptr<QProcess> m_openbox;
    std::unique_ptr<QProcess> m_brellow;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestHighDpiDesktop::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == "xcb", "run under scripts/with-xvfb.sh");
    QCOMPARE(ChildProcess::execute("xsetroot", {"-solid", Desktop.name()}), 0);
    m_openbox = std::make_unique<QProcess>();
    ChildProcess::dieWithParent(*m_openbox);
    m_openbox->setStandardOutputFile(QProcess::nullDevice());
    m_openbox->setStandardErrorFile(QProcess::nullDevice());
    m_openbox->start("openbox", {});
    QVERIFY(m_openbox->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(selectionOwned("WM_S0"), 10000);
    QVERIFY2(!selectionOwned("_NET_WM_CM_S0"), "no compositor may run");
}

void TestHighDpiDesktop::cleanup()
{
    // The next row starts from the server's own resolution.
    ChildProcess::execute("xrdb", {"-remove"});
    if (m_brellow && m_brellow->state() != QProcess::NotRunning) {
        ::kill(pid_t(m_brellow->processId()), SIGTERM);
        if (!m_brellow->waitForFinished(10000))
            m_brellow->kill();
        m_brellow->waitForFinished(5000);
    }
    m_brellow.reset();
    m_home.reset();
}

void TestHighDpiDesktop::cleanupTestCase()
{
    m_openbox->terminate();
    if (!m_openbox->waitForFinished(5000))
        m_openbox->kill();
}

void TestHighDpiDesktop::scaledWindow_data()
{
    QTest::addColumn<double>("scale");
    // Through the desktop's font resolution instead of Qt's own variable.
    QTest::addColumn<bool>("xftDpi");
    QTest::newRow("1.25") << 1.25 << false;
    QTest::newRow("1.5") << 1.5 << false;
    QTest::newRow("2") << 2.0 << false;
    QTest::newRow("Xft.dpi 144") << 1.5 << true;
}

void TestHighDpiDesktop::scaledWindow()
{
    QFETCH(double, scale);
    QFETCH(bool, xftDpi);
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    const QDir home(m_home->path());
    QVERIFY(home.mkpath("run") && home.mkpath("config"));
    QVERIFY(QFile::setPermissions(home.filePath("run"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment env = brellowEnvironment(home.path());
    if (xftDpi) {
        QProcess xrdb;
        ChildProcess::dieWithParent(xrdb);
        xrdb.start("xrdb", {"-merge"});
        xrdb.write(QByteArray("Xft.dpi: ") + QByteArray::number(qRound(96 * scale)) + "\n");
        xrdb.closeWriteChannel();
        QVERIFY(xrdb.waitForFinished(10000));
        QCOMPARE(xrdb.exitCode(), 0);
    } else {
        env.insert("QT_SCALE_FACTOR", QString::number(scale));
    }
    m_brellow = std::make_unique<QProcess>();
    ChildProcess::dieWithParent(*m_brellow);
    m_brellow->setProcessEnvironment(env);
    m_brellow->setProcessChannelMode(QProcess::ForwardedChannels);
    m_brellow->start(BRELLOW_PATH, {});
    const QString id = findMainWindow();
    QVERIFY(!id.isEmpty());

    // The first-start place and size of a 1920 x 1080 screen seen at this scale.
    const int width = qRound(1920 / scale);
    const int height = qRound(1080 / scale);
    const QRect logical(((width - 1) - 363) / 2, height - 40 - 90, 364, 90);
    const QRect expected(qRound(logical.x() * scale), qRound(logical.y() * scale),
                         qRound(364 * scale), qRound(90 * scale));
    QRect seen;
    QTRY_VERIFY2_WITH_TIMEOUT(near(seen = windowGeometry(id), expected, 1),
                              qPrintable(describe(seen) + " not " + describe(expected)), 20000);
    QVERIFY(waitForFace(seen));

    // The window with two pixels of desktop around it.
    const QRect area = seen.adjusted(-2, -2, 2, 2);
    QImage shot = grab(area);
    if (const QString dir = qEnvironmentVariable("BRELLOW_TEST_SHOTS"); !dir.isEmpty())
        shot.save(QDir(dir).filePath(
            QStringLiteral("scale-%1%2.png").arg(scale).arg(xftDpi ? "-xft" : "")));
    const auto pixel = [&](int x, int y) { return shot.pixelColor(x + 2, y + 2); };
    const int w = seen.width();
    const int h = seen.height();

    // Corners cut at the scaled radius: along each corner's diagonal, every pixel
    // whose centre lies clearly outside the circle shows the desktop (unscaled
    // corners would cover all but the outermost).
    const int radius = qRound(6 * scale);
    int outside = 0;
    while ((radius - (outside + 1) - 0.5) * std::sqrt(2.0) > radius + 0.75)
        ++outside;
    QVERIFY(outside >= 1);
    for (int d = 0; d <= outside; ++d) {
        for (const QPoint &p : {QPoint(d, d), QPoint(w - 1 - d, d), QPoint(d, h - 1 - d),
                                QPoint(w - 1 - d, h - 1 - d)}) {
            QVERIFY2(colourDistance(pixel(p.x(), p.y()), Desktop) < 12,
                     qPrintable(QStringLiteral("(%1,%2) shows %3")
                                    .arg(p.x())
                                    .arg(p.y())
                                    .arg(pixel(p.x(), p.y()).name())));
        }
    }
    // Beyond the corners the window is whole: not one row or column of desktop
    // shows through it.
    for (int y = 0; y < h; ++y) {
        for (int x = radius; x < w - radius; x += 7) {
            if (colourDistance(pixel(x, y), Desktop) < 12)
                QFAIL(qPrintable(QStringLiteral("desktop at (%1,%2)").arg(x).arg(y)));
        }
    }
    for (int x = 0; x < w; ++x) {
        for (int y = radius; y < h - radius; y += 5) {
            if (colourDistance(pixel(x, y), Desktop) < 12)
                QFAIL(qPrintable(QStringLiteral("desktop at (%1,%2)").arg(x).arg(y)));
        }
    }

    // A drag by the header, in the X server's pixels: the window follows the pointer.
    const QPoint grabbed = seen.topLeft() + QPoint(qRound(150 * scale), qRound(10 * scale));
    const QPoint by(-301, -203);
    xdotool({"mousemove", "--sync", QString::number(grabbed.x()), QString::number(grabbed.y())});
    xdotool({"mousedown", "1"});
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = grabbed + by * step / 4;
        xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    }
    xdotool({"mouseup", "1"});
    const QRect dragged(seen.topLeft() + by, seen.size());
    // Qt works in device-independent pixels: a pixel or two of rounding per axis.
    QTRY_VERIFY2_WITH_TIMEOUT(near(seen = windowGeometry(id), dragged, 2),
                              qPrintable(describe(seen) + " not " + describe(dragged)), 10000);
}

QTEST_MAIN(TestHighDpiDesktop)
#include "tst_highdpidesktop.moc"
