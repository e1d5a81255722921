#include <ui/screenlayout.h>

#include <QTest>

using namespace Brellow;

Q_DECLARE_METATYPE(Brellow::ScreenLayout)
Q_DECLARE_METATYPE(std::optional<QRect>)
Q_DECLARE_METATYPE(std::optional<QPoint>)

namespace {

const QSize Compact(364, 90);

// A 1920 x 1080 primary screen with a 40 pixel task bar at its bottom.
const ScreenArea Primary{"A", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
// Beside it on the right, without a task bar.
const ScreenArea Right{"B", {1920, 0, 1920, 1080}, {1920, 0, 1920, 1080}};
// On the right but lower: 1280 x 1024 with a task bar of 40.
const ScreenArea RightSmall{"B", {1920, 0, 1280, 1024}, {1920, 0, 1280, 984}};
// Above the primary one.
const ScreenArea Above{"B", {0, -1080, 1920, 1080}, {0, -1080, 1920, 1080}};
// Left of the primary one, the desktop's origin then inside the primary screen's left.
const ScreenArea Left{"B", {-1920, 0, 1920, 1200}, {-1920, 0, 1920, 1160}};

ScreenLayout layout(std::initializer_list<ScreenArea> screens)
{
    return ScreenLayout(QList<ScreenArea>(screens));
}

ScreenArea resized(ScreenArea screen, const QSize &size, int taskBar)
{
    screen.geometry.setSize(size);
    screen.available = screen.geometry.adjusted(0, 0, 0, -taskBar);
    return screen;
}

} // namespace

// Where Brellow's window goes on desktops of several screens, and when screens change.
class TestScreenLayout : public QObject
{
    Q_OBJECT

private slots:
    void screenOf_data();
    void screenOf();
    void limitAndFirstStart_data();
    void limitAndFirstStart();
    void restoredPosition_data();
    void restoredPosition();
    void afterChange_data();
    void afterChange();
};

void TestScreenLayout::screenOf_data()
{
    QTest::addColumn<ScreenLayout>("screens");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QString>("owner");
    const ScreenLayout two = layout({Primary, Right});
    QTest::newRow("wholly on the primary") << two << QRect({100, 100}, Compact) << "A";
    QTest::newRow("wholly on the right") << two << QRect({2000, 100}, Compact) << "B";
    QTest::newRow("straddling, mostly left") << two << QRect({1700, 100}, Compact) << "A";
    QTest::newRow("straddling, mostly right") << two << QRect({1800, 100}, Compact) << "B";
    QTest::newRow("off every screen, nearest below the right")
        << two << QRect({3000, 1500}, Compact) << "B";
    QTest::newRow("off every screen, nearest left of the primary")
        << two << QRect({-900, 500}, Compact) << "A";
    QTest::newRow("above the primary")
        << layout({Primary, Above}) << QRect({10, -500}, Compact) << "B";
    QTest::newRow("different heights: below the smaller screen's bottom, the larger one")
        << layout({Primary, RightSmall}) << QRect({1900, 1030}, Compact) << "A";
}

void TestScreenLayout::screenOf()
{
    QFETCH(ScreenLayout, screens);
    QFETCH(QRect, window);
    QFETCH(QString, owner);
    const int index = screens.screenOf(window);
    QVERIFY(index >= 0);
    QCOMPARE(screens.screens().at(index).name, owner);
    QCOMPARE(ScreenLayout().screenOf(window), -1);
}

void TestScreenLayout::limitAndFirstStart_data()
{
    QTest::addColumn<ScreenArea>("screen");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QPoint>("firstStart");
    // On the primary screen at the origin, the same numbers as ever.
    QTest::newRow("primary with task bar") << Primary << 1040 << QPoint(778, 975);
    QTest::newRow("no task bar: 40 above the bottom") << Right << 1040 << QPoint(2698, 975);
    QTest::newRow("smaller screen on the right") << RightSmall << 984 << QPoint(2378, 919);
    QTest::newRow("above: measured from its own top") << Above << -40 << QPoint(778, -105);
    QTest::newRow("left, taller") << Left << 1160 << QPoint(-1142, 1095);
}

void TestScreenLayout::limitAndFirstStart()
{
    QFETCH(ScreenArea, screen);
    QFETCH(int, limit);
    QFETCH(QPoint, firstStart);
    QCOMPARE(ScreenLayout::limit(screen), limit);
    QCOMPARE(ScreenLayout::firstStart(screen), firstStart);
    // The first start's place lies on its screen once the window has its height.
    QPoint placed = ScreenLayout::fitOnto(QRect(firstStart, Compact), screen);
    QVERIFY(screen.available.contains(QRect(placed, Compact)));
    QCOMPARE(placed.y() + Compact.height(), limit);
}

void TestScreenLayout::restoredPosition_data()
{
    QTest::addColumn<ScreenLayout>("screens");
    QTest::addColumn<std::optional<QRect>>("saved");
    QTest::addColumn<QPoint>("position");
    const ScreenLayout one = layout({Primary});
    const ScreenLayout two = layout({Primary, Right});
    const auto at = [](int x, int y) { return std::optional<QRect>(QRect({x, y}, Compact)); };

    QTest::newRow("nothing saved: first start on the primary")
        << two << std::optional<QRect>() << QPoint(778, 975);
    QTest::newRow("nothing saved, primary right of another screen")
        << layout({Right, Primary}) << std::optional<QRect>() << QPoint(2698, 975);
    QTest::newRow("on the screen: kept") << one << at(321, 234) << QPoint(321, 234);
    QTest::newRow("x 1700 on a 1920 screen: pulled left until whole")
        << one << at(1700, 950) << QPoint(1556, 950);
    QTest::newRow("on the right screen: kept") << two << at(2500, 400) << QPoint(2500, 400);
    QTest::newRow("right screen unplugged: onto the primary's right edge")
        << one << at(2500, 400) << QPoint(1556, 400);
    QTest::newRow("right screen unplugged, saved at its bottom")
        << one << at(2500, 990) << QPoint(1556, 950);
    QTest::newRow("across both screens: onto the one holding most of it")
        << two << at(1800, 400) << QPoint(1920, 400);
    QTest::newRow("screen above: kept")
        << layout({Primary, Above}) << at(300, -600) << QPoint(300, -600);
    QTest::newRow("screen above unplugged: onto the primary's top")
        << one << at(300, -600) << QPoint(300, 0);
    QTest::newRow("different heights: below the smaller screen, back above its task bar")
        << layout({Primary, RightSmall}) << at(2000, 1000) << QPoint(2000, 894);
    QTest::newRow("resolution lowered from 2560 x 1440")
        << one << at(2100, 1300) << QPoint(1556, 950);
    QTest::newRow("left of the screen") << one << at(-200, 300) << QPoint(0, 300);
    QTest::newRow("absurdly far away") << two << at(1000000, -1000000) << QPoint(3476, 0);
}

void TestScreenLayout::restoredPosition()
{
    QFETCH(ScreenLayout, screens);
    QFETCH(std::optional<QRect>, saved);
    QFETCH(QPoint, position);
    QCOMPARE(screens.restoredPosition(saved), position);
    // Never half visible: the window lies wholly on one screen.
    const QRect placed(position, Compact);
    QVERIFY(std::any_of(screens.screens().cbegin(), screens.screens().cend(),
                        [&](const ScreenArea &s) { return s.geometry.contains(placed); }));
}

void TestScreenLayout::afterChange_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<ScreenLayout>("before");
    QTest::addColumn<ScreenLayout>("after");
    QTest::addColumn<std::optional<QPoint>>("moveTo");
    const ScreenLayout one = layout({Primary});
    const ScreenLayout two = layout({Primary, Right});
    const std::optional<QPoint> stay;
    const auto to = [](int x, int y) { return std::optional<QPoint>(QPoint(x, y)); };
    const QRect onPrimary({500, 950}, Compact);
    const QRect onRight({3400, 600}, QSize(364, 268));

    QTest::newRow("screen added: stays") << onPrimary << one << two << stay;
    QTest::newRow("other screen removed: stays") << onPrimary << two << one << stay;
    QTest::newRow("own screen removed: onto the nearest") << onRight << two << one << to(1556, 600);
    QTest::newRow("own screen above removed")
        << QRect({200, -300}, Compact) << layout({Primary, Above}) << one << to(200, 0);
    QTest::newRow("own screen lower resolution: pulled onto it")
        << onRight << two << layout({Primary, resized(Right, {1280, 720}, 0)}) << to(2836, 412);
    QTest::newRow("own screen lower resolution, window still on it: stays")
        << QRect({2000, 100}, Compact) << two << layout({Primary, resized(Right, {1280, 720}, 0)})
        << stay;
    QTest::newRow("own screen higher resolution: stays")
        << onRight << two << layout({Primary, resized(Right, {2560, 1440}, 0)}) << stay;
    QTest::newRow("other screen lower resolution: stays")
        << onRight << two << layout({resized(Primary, {1280, 720}, 40), Right}) << stay;
    QTest::newRow("task bar grows under a window on the limit: lifted")
        << onPrimary << one << layout({resized(Primary, {1920, 1080}, 100)}) << to(500, 890);
    QTest::newRow("task bar grows, window far above it: stays")
        << QRect({500, 300}, Compact) << one << layout({resized(Primary, {1920, 1080}, 100)})
        << stay;
    QTest::newRow("dragged partly off, its task bar grows: stays")
        << QRect({1800, 300}, Compact) << one << layout({resized(Primary, {1920, 1080}, 100)})
        << stay;
    QTest::newRow("dragged partly off, its screen shrinks away from it")
        << QRect({1800, 300}, Compact) << one << layout({resized(Primary, {1600, 900}, 40)})
        << to(1236, 300);
    QTest::newRow("every screen gone for a moment: stays")
        << onPrimary << one << ScreenLayout() << stay;
    QTest::newRow("from no screen to one: onto it")
        << QRect({5000, 5000}, Compact) << ScreenLayout() << one << to(1556, 950);
}

void TestScreenLayout::afterChange()
{
    QFETCH(QRect, window);
    QFETCH(ScreenLayout, before);
    QFETCH(ScreenLayout, after);
    QFETCH(std::optional<QPoint>, moveTo);
    const std::optional<QPoint> moved = ScreenLayout::afterChange(window, before, after);
    QCOMPARE(moved.has_value(), moveTo.has_value());
    if (moveTo)
        QCOMPARE(*moved, *moveTo);
}

QTEST_APPLESS_MAIN(TestScreenLayout)
#include "tst_screenlayout.moc"
