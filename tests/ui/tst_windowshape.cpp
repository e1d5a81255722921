#include <ui/windowshape.h>

#include <QTest>

#include <cmath>

using namespace Brellow;

namespace {

// Whether pixel (x, y)'s centre lies inside a box of `size` with corners of `radius`.
bool centreInside(int x, int y, const QSize &size, int radius)
{
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    const double nearestX = qBound(double(radius), cx, double(size.width() - radius));
    const double nearestY = qBound(double(radius), cy, double(size.height() - radius));
    const double dx = cx - nearestX;
    const double dy = cy - nearestY;
    return dx * dx + dy * dy <= double(radius) * radius;
}

} // namespace

// The cut-corner outline the window takes without a compositor.
class TestWindowShape : public QObject
{
    Q_OBJECT

private slots:
    void pixelsWhoseCentreIsInside_data();
    void pixelsWhoseCentreIsInside();
};

void TestWindowShape::pixelsWhoseCentreIsInside_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("radius");
    QTest::newRow("compact") << QSize(364, 90) << 6;
    QTest::newRow("expanded") << QSize(364, 268) << 6;
    QTest::newRow("radius at scale 2") << QSize(728, 180) << 12;
    QTest::newRow("radius at scale 1.25") << QSize(455, 113) << 8;
    QTest::newRow("radius larger than half the height: halved") << QSize(40, 10) << 9;
    QTest::newRow("no radius") << QSize(20, 10) << 0;
}

void TestWindowShape::pixelsWhoseCentreIsInside()
{
    QFETCH(QSize, size);
    QFETCH(int, radius);
    const QRegion region = WindowShape::roundedBox(size, radius);
    const int r = qMin(radius, qMin(size.width(), size.height()) / 2);
    for (int y = -1; y <= size.height(); ++y) {
        for (int x = -1; x <= size.width(); ++x) {
            const bool inBox = x >= 0 && y >= 0 && x < size.width() && y < size.height();
            const bool expected = inBox && (r <= 0 || centreInside(x, y, size, r));
            if (region.contains(QPoint(x, y)) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
        }
    }
}

QTEST_APPLESS_MAIN(TestWindowShape)
#include "tst_windowshape.moc"
