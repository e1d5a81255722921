// The real window and page on a desktop of two screens of different heights, as
// Qt's offscreen platform shows it (tests/ui/twoscreens.json): A 1920 x 1080 at the
// origin, the primary; B 1280 x 1024 on its right. Neither has a task bar, so each
// one's limit lies 40 pixels above its bottom.
#include <app/application.h>
#include <tests/support/windowtestcase.h>
#include <ui/mainwindow.h>
#include <ui/screenwatcher.h>

#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QWidget>
#include <qpa/qplatformnativeinterface.h>

using namespace Brellow;

namespace {

QJsonObject screen(const QString &name, const QRect &rect)
{
    return {{"name", name},
            {"x", rect.x()},
            {"y", rect.y()},
            {"width", rect.width()},
            {"height", rect.height()},
            {"logicalDpi", 96},
            {"logicalBaseDpi", 96},
            {"dpr", 1}};
}

const QRect ScreenA(0, 0, 1920, 1080);
const QRect ScreenB(1920, 0, 1280, 1024);

// Replaces the offscreen platform's screens while the program runs, as a screen
// plugged in or out or a new resolution would.
void setScreens(const QList<QPair<QString, QRect>> &screens)
{
    QJsonArray list;
    for (const auto &[name, rect] : screens)
        list.append(screen(name, rect));
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    auto set = reinterpret_cast<void (*)(QJsonObject, QPlatformNativeInterface *)>(
        native->nativeResourceForIntegration("setConfiguration"));
    QVERIFY(set);
    set(QJsonObject{{"screens", list}}, native);
}

QStringList screenNames()
{
    QStringList names;
    for (const QScreen *s : QGuiApplication::screens())
        names << s->name();
    return names;
}

// Where the page itself sees its window.
QPoint pagePlace(MainWindow &w)
{
    return {UiTest::evaluate(w, "window.screenX").toInt(),
            UiTest::evaluate(w, "window.screenY").toInt()};
}

QByteArray savedAt(const QPoint &place)
{
    QWidget saved(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    saved.setGeometry(QRect(place, QSize(MainWindow::WindowWidth, MainWindow::CompactHeight)));
    return saved.saveGeometry();
}

// With BRELLOW_TEST_SHOTS set, a picture of the whole desktop at half size: each
// screen's outline and name, and the window's own image where Qt placed it.
void savePicture(MainWindow &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("BRELLOW_TEST_SHOTS");
    if (dir.isEmpty())
        return;
    QRect desktop;
    for (const QScreen *s : QGuiApplication::screens())
        desktop |= s->geometry();
    QImage picture(desktop.size() / 2, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.scale(0.5, 0.5);
    painter.translate(-desktop.topLeft());
    for (const QScreen *s : QGuiApplication::screens()) {
        painter.fillRect(s->geometry().adjusted(4, 4, -4, -4), QColor("#4a6f8a"));
        painter.setPen(Qt::white);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 40));
        painter.drawText(s->geometry().adjusted(30, 20, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("%1  %2 x %3 at %4,%5")
                             .arg(s->name())
                             .arg(s->geometry().width())
                             .arg(s->geometry().height())
                             .arg(s->geometry().x())
                             .arg(s->geometry().y()));
    }
    painter.drawPixmap(w.pos(), w.grab());
    painter.end();
    picture.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace

class TestTwoScreens : public UiTest::WindowTestCase
{
    Q_OBJECT

private slots:
    void qtSeesTwoScreens();
    void growsAndShrinksOnItsOwnScreen_data();
    void growsAndShrinksOnItsOwnScreen();
    void savedPlaceComesBackOnAScreen_data();
    void savedPlaceComesBackOnAScreen();
    void screensChangeWhileRunning_data();
    void screensChangeWhileRunning();
    void cleanup();
};

void TestTwoScreens::cleanup()
{
    if (screenNames() != QStringList{"A", "B"} ||
        QGuiApplication::screens().at(1)->geometry() != ScreenB)
        setScreens({{"A", ScreenA}, {"B", ScreenB}});
}

void TestTwoScreens::qtSeesTwoScreens()
{
    QCOMPARE(screenNames(), (QStringList{"A", "B"}));
    QCOMPARE(QGuiApplication::primaryScreen()->geometry(), ScreenA);
    QCOMPARE(QGuiApplication::screens().at(1)->geometry(), ScreenB);
    // First start: on the primary screen, its bottom on A's limit.
    QCOMPARE(window->pos(), QPoint(778, 950));
    QTRY_COMPARE(pagePlace(*window), QPoint(778, 950));
}

void TestTwoScreens::growsAndShrinksOnItsOwnScreen_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("expandedY");
    QTest::addColumn<int>("collapsedY");
    // B's limit is 984, A's 1040.
    QTest::newRow("bottom of B: grows upward to B's limit") << QPoint(2000, 894) << 716 << 894;
    QTest::newRow("bottom of A") << QPoint(100, 950) << 772 << 950;
    QTest::newRow("middle of B keeps its top") << QPoint(2500, 300) << 300 << 300;
    QTest::newRow("B, below its limit but above A's: pulled onto B's")
        << QPoint(2400, 920) << 716 << 894;
    QTest::newRow("across both, mostly on B") << QPoint(1800, 894) << 716 << 894;
    QTest::newRow("across both, mostly on A: A's limit") << QPoint(1700, 900) << 772 << 950;
}

void TestTwoScreens::growsAndShrinksOnItsOwnScreen()
{
    QFETCH(QPoint, start);
    QFETCH(int, expandedY);
    QFETCH(int, collapsedY);
    MainWindow &w = *window;
    // Where a drag would leave it.
    w.move(start);
    QTRY_COMPARE(pagePlace(w), start);

    UiTest::click(w, "expand");
    QTRY_COMPARE(w.viewMode(), MainWindow::ViewMode::Expanded);
    QCOMPARE(w.geometry(), QRect(start.x(), expandedY, 364, 268));
    QTRY_COMPARE(pagePlace(w), QPoint(start.x(), expandedY));
    if (QByteArray(QTest::currentDataTag()).startsWith("bottom of B")) {
        // The page has painted its expanded face once the window's image shows it.
        savePicture(w, QStringLiteral("two-screens-expanded-on-B"));
    }

    UiTest::click(w, "collapse");
    QTRY_COMPARE(w.viewMode(), MainWindow::ViewMode::Compact);
    QCOMPARE(w.geometry(), QRect(start.x(), collapsedY, 364, 90));
    QTRY_COMPARE(pagePlace(w), QPoint(start.x(), collapsedY));
}

void TestTwoScreens::savedPlaceComesBackOnAScreen_data()
{
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("on B: kept") << savedAt({2500, 400}) << QPoint(2500, 400);
    QTest::newRow("x 1700 on A, B beside it: onto A, whole")
        << savedAt({1700, 400}) << QPoint(1556, 400);
    QTest::newRow("right of B (a third screen unplugged): onto B")
        << savedAt({3500, 500}) << QPoint(2836, 500);
    QTest::newRow("below B, above A's bottom: onto B")
        << savedAt({2000, 1000}) << QPoint(2000, 894);
    QTest::newRow("above every screen") << savedAt({400, -700}) << QPoint(400, 0);
    QTest::newRow("corrupt: the first-start place")
        << QByteArray("not a geometry") << QPoint(778, 950);
    QTest::newRow("empty: the first-start place") << QByteArray() << QPoint(778, 950);
}

void TestTwoScreens::savedPlaceComesBackOnAScreen()
{
    QFETCH(QByteArray, saved);
    QFETCH(QPoint, place);
    window.reset();
    QSettings *settings = Application::instance()->settings();
    settings->setValue("mainWindowGeometry", saved);

    MainWindow next;
    QCOMPARE(next.pos(), place);
    QCOMPARE(next.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
    QVERIFY(UiTest::waitForPage(next));
    QTRY_COMPARE(pagePlace(next), place);
    settings->remove("mainWindowGeometry");
}

void TestTwoScreens::screensChangeWhileRunning_data()
{
    using Screens = QList<QPair<QString, QRect>>;
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<Screens>("after");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("B unplugged, window on B: onto A")
        << QPoint(2500, 300) << Screens{{"A", ScreenA}} << QPoint(1556, 300);
    QTest::newRow("B unplugged, window on A: stays")
        << QPoint(300, 500) << Screens{{"A", ScreenA}} << QPoint(300, 500);
    QTest::newRow("B to 800 x 600, window on B: pulled onto B")
        << QPoint(2700, 894) << Screens{{"A", ScreenA}, {"B", {1920, 0, 800, 600}}}
        << QPoint(2356, 470);
    QTest::newRow("B to 800 x 600, window on A: stays")
        << QPoint(300, 950) << Screens{{"A", ScreenA}, {"B", {1920, 0, 800, 600}}}
        << QPoint(300, 950);
    QTest::newRow("A to 1280 x 720, window on A's bottom: lifted onto A")
        << QPoint(300, 950) << Screens{{"A", {0, 0, 1280, 720}}, {"B", {1280, 0, 1280, 1024}}}
        << QPoint(300, 590);
    QTest::newRow("a screen added above: stays")
        << QPoint(300, 950)
        << Screens{{"A", ScreenA}, {"B", ScreenB}, {"C", {0, -1080, 1920, 1080}}}
        << QPoint(300, 950);
}

void TestTwoScreens::screensChangeWhileRunning()
{
    using Screens = QList<QPair<QString, QRect>>;
    QFETCH(QPoint, start);
    QFETCH(Screens, after);
    QFETCH(QPoint, place);
    MainWindow &w = *window;
    w.move(start);
    QTRY_COMPARE(pagePlace(w), start);

    const auto *watcher = w.findChild<ScreenWatcher *>();
    QVERIFY(watcher);
    QSignalSpy reported(watcher, &ScreenWatcher::changed);
    setScreens(after);
    QStringList names;
    for (const auto &entry : after)
        names << entry.first;
    QTRY_COMPARE(screenNames(), names);
    // The window has seen the change once the watcher reported it.
    QTRY_VERIFY(!reported.isEmpty());
    QCOMPARE(w.pos(), place);
    QTRY_COMPARE(pagePlace(w), place);
    if (QByteArray(QTest::currentDataTag()).startsWith("B to 800"))
        savePicture(w, QStringLiteral("two-screens-B-shrunk"));
    QCOMPARE(w.size(), QSize(MainWindow::WindowWidth, MainWindow::CompactHeight));
}

BRELLOW_WINDOW_TEST_MAIN(TestTwoScreens)
#include "tst_twoscreens.moc"
