// The real window and page at the scale factor this run was started with
// (QT_SCALE_FACTOR, set by ctest: 1.25, 1.5 and 2): the window keeps its size in
// device-independent pixels, the page fills it without scroll bars or clipped
// text, and placement and drag work in the same units.
#include <tests/support/windowtestcase.h>
#include <ui/mainwindow.h>
#include <ui/screenlayout.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

using namespace Brellow;

namespace {

qreal scaleFactor()
{
    return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
}

// The page's own view of its size and of what overflows.
struct PageMetrics
{
    QSize inner;
    QSize scroll;
    double devicePixelRatio = 0;
    QStringList clipped;
};

PageMetrics pageMetrics(MainWindow &w)
{
    const QVariantMap m =
        UiTest::evaluate(
            w, "(() => {"
               "  const d = document.documentElement;"
               "  const clipped = [];"
               // A shown element whose own text is wider than its box is clipped.
               "  for (const e of document.querySelectorAll('body *')) {"
               "    if (!e.offsetParent || !e.textContent.trim()) continue;"
               "    if (e.scrollWidth > e.clientWidth + 1 && e.clientWidth > 0)"
               "      clipped.push(e.id || e.tagName);"
               "  }"
               "  return {iw: innerWidth, ih: innerHeight, sw: d.scrollWidth, sh: d.scrollHeight,"
               "          dpr: devicePixelRatio, clipped};"
               "})()")
            .toMap();
    return {QSize(m.value("iw").toInt(), m.value("ih").toInt()),
            QSize(m.value("sw").toInt(), m.value("sh").toInt()), m.value("dpr").toDouble(),
            m.value("clipped").toStringList()};
}

} // namespace

class TestHighDpi : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:
    void scaleIsInEffect();
    void pageFillsWindow_data();
    void pageFillsWindow();
    void placementInDeviceIndependentPixels();
    void dragInDeviceIndependentPixels();

private:
    void logIn(MainWindow &w);
};

void TestHighDpi::logIn(MainWindow &w)
{
    server->send(QByteArray(R"({"cmd":"login_ack","session_id":"s-1"})"));
    QTRY_COMPARE(w.loginState(), MainWindow::LoginState::LoggedIn);
    server->drain(100);
}

void TestHighDpi::scaleIsInEffect()
{
    QVERIFY2(scaleFactor() > 1, "run with QT_SCALE_FACTOR (ctest sets it)");
    QCOMPARE(window->devicePixelRatio(), scaleFactor());
    QCOMPARE(window->windowHandle()->devicePixelRatio(), scaleFactor());
    QCOMPARE(window->size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
}

void TestHighDpi::pageFillsWindow_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<MainWindow::ViewMode>("mode");
    QTest::addColumn<int>("height");
    QTest::newRow("logged out") << false << MainWindow::ViewMode::Compact << 90;
    QTest::newRow("logged in, compact") << true << MainWindow::ViewMode::Compact << 90;
    QTest::newRow("logged in, expanded") << true << MainWindow::ViewMode::Expanded << 268;
    QTest::newRow("logged in, media") << true << MainWindow::ViewMode::Media << 268;
}

void TestHighDpi::pageFillsWindow()
{
    QFETCH(bool, loggedIn);
    QFETCH(MainWindow::ViewMode, mode);
    QFETCH(int, height);
    MainWindow &w = *window;
    if (loggedIn) {
        logIn(w);
        // Figures with many digits, the widest the panel shows.
        server->send(
            QByteArray(R"({"cmd":"update_stat","user_surveys":123456,)"
                       R"("average_score":0.99,"team_position":12345,"team_surveys":1234567})"));
    }
    w.setViewMode(mode, false);
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, height));

    PageMetrics page;
    QTRY_VERIFY((page = pageMetrics(w)).inner == QSize(MainWindow::WindowWidth, height));
    QCOMPARE(page.devicePixelRatio, scaleFactor());
    QVERIFY2(page.scroll.width() <= page.inner.width(),
             qPrintable(QString::number(page.scroll.width())));
    QVERIFY2(page.scroll.height() <= page.inner.height(),
             qPrintable(QString::number(page.scroll.height())));
    QVERIFY2(page.clipped.isEmpty(), qPrintable(page.clipped.join(", ")));
}

void TestHighDpi::placementInDeviceIndependentPixels()
{
    // The offscreen screen, as Qt hands it over: already divided by the scale.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const ScreenArea area{screen->name(), screen->geometry(), screen->availableGeometry()};
    const int limit = ScreenLayout::limit(area);
    const QPoint first = ScreenLayout::firstStart(area);
    MainWindow &w = *window;
    QCOMPARE(w.pos(), QPoint(first.x(), limit - MainWindow::CompactHeight));
    QTRY_COMPARE(UiTest::evaluate(w, "window.screenY").toInt(), limit - MainWindow::CompactHeight);

    logIn(w);
    w.setViewMode(MainWindow::ViewMode::Expanded, false);
    QCOMPARE(w.geometry().bottom() + 1, limit);
    w.setViewMode(MainWindow::ViewMode::Compact, false);
    QCOMPARE(w.geometry(), QRect(first.x(), limit - MainWindow::CompactHeight,
                                 MainWindow::WindowWidth, MainWindow::CompactHeight));
}

void TestHighDpi::dragInDeviceIndependentPixels()
{
    MainWindow &w = *window;
    QWindow *handle = w.windowHandle();
    w.move(100, 100);
    QTRY_COMPARE(UiTest::evaluate(w, "window.screenX").toInt(), 100);
    // Through the platform's event path, in the window's own (scaled) coordinates.
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(150, 10));
    QTest::mouseMove(handle, QPoint(180, 50));
    QTRY_COMPARE(w.pos(), QPoint(130, 140));
    // The pointer is still over the grabbed point of the moved window.
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(150, 10));
    QTRY_COMPARE(UiTest::evaluate(w, "window.screenX").toInt(), 130);
    QCOMPARE(UiTest::evaluate(w, "window.screenY").toInt(), 140);
}

BRELLOW_WINDOW_TEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
