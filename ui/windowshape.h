#pragma once

#include <QRegion>
#include <QSize>

namespace Brellow {

namespace WindowShape {

// The pixels of a box of the given size with rounded corners: a pixel belongs
// to it when its centre lies inside the rounded outline.
QRegion roundedBox(const QSize &size, int radius);

} // namespace WindowShape

} // namespace Brellow
