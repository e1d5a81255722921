#include <ui/windowshape.h>

#include <cmath>

namespace Brellow {

namespace WindowShape {

QRegion roundedBox(const QSize &size, int radius)
{
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return {};
    radius = qMin(radius, qMin(w, h) / 2);
    if (radius <= 0)
        return QRegion(0, 0, w, h);

    QRegion region(0, radius, w, h - 2 * radius);
    for (int row = 0; row < radius; ++row) {
        // Distance of the row's pixel centres from the corner circles' centre line.
        const double dy = radius - (row + 0.5);
        const double dx = std::sqrt(double(radius) * radius - dy * dy);
        const int inset = int(std::ceil(radius - dx - 0.5));
        const int width = w - 2 * inset;
        region += QRect(inset, row, width, 1);
        region += QRect(inset, h - 1 - row, width, 1);
    }
    return region;
}

} // namespace WindowShape

} // namespace Brellow
