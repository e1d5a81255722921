#include <ui/placement.h>

#include <QTest>

using namespace Brellow;

// Where the window lands on a 1920 x 1080 screen, start-up and each resize.
class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void screenLimit_data();
    void screenLimit();
    void defaultPosition_data();
    void defaultPosition();
    void settleY_data();
    void settleY();
};

void TestPlacement::screenLimit_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("limit");
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("task bar at the bottom") << QRect(0, 0, 1920, 1040) << screen << 1040;
    QTest::newRow("no task bar") << screen << screen << 1040;
    QTest::newRow("task bar at the top") << QRect(0, 40, 1920, 1040) << screen << 1040;
    QTest::newRow("tall task bar") << QRect(0, 0, 1920, 1000) << screen << 1000;
}

void TestPlacement::screenLimit()
{
    QFETCH(QRect, available);
    QFETCH(QRect, screen);
    QFETCH(int, limit);
    QCOMPARE(Placement::screenLimit(available, screen), limit);
}

void TestPlacement::defaultPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("full width") << QRect(0, 0, 1920, 1040) << QPoint(778, 975);
    QTest::newRow("task bar on the left: its width is not added")
        << QRect(100, 0, 1820, 1040) << QPoint(728, 975);
    QTest::newRow("second screen left of the primary")
        << QRect(1920, 0, 1920, 1040) << QPoint(778, 975);
    QTest::newRow("narrower than the window: truncates toward zero")
        << QRect(0, 0, 300, 1040) << QPoint(-32, 975);
}

void TestPlacement::defaultPosition()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    const int limit = Placement::screenLimit(available, QRect(0, 0, 1920, 1080));
    QCOMPARE(Placement::defaultPosition(available, limit), position);
}

void TestPlacement::settleY_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("currentHeight");
    QTest::addColumn<int>("newHeight");
    QTest::addColumn<bool>("collapsing");
    QTest::addColumn<int>("settled");
    // Limit 1040 throughout.
    QTest::newRow("first start: default place clamped") << 975 << 0 << 90 << false << 950;
    QTest::newRow("at the bottom, expand grows upward") << 950 << 90 << 268 << false << 772;
    QTest::newRow("at the bottom, collapse returns") << 772 << 268 << 90 << true << 950;
    QTest::newRow("middle, expand keeps top") << 300 << 90 << 268 << false << 300;
    QTest::newRow("middle, collapse keeps top") << 300 << 268 << 90 << true << 300;
    QTest::newRow("bottom just short of the limit keeps top") << 771 << 268 << 90 << true << 771;
    QTest::newRow("dragged below the limit, collapse") << 900 << 268 << 90 << true << 950;
    QTest::newRow("dragged below the limit, expanded to media")
        << 900 << 268 << 268 << false << 772;
    QTest::newRow("above the screen stays") << -50 << 90 << 268 << false << -50;
}

void TestPlacement::settleY()
{
    QFETCH(int, y);
    QFETCH(int, currentHeight);
    QFETCH(int, newHeight);
    QFETCH(bool, collapsing);
    QFETCH(int, settled);
    QCOMPARE(Placement::settleY(y, currentHeight, newHeight, 1040, collapsing), settled);
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
