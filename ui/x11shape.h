#pragma once

#include <QWidget>

namespace Brellow {

// The window's outline set directly on the X server, in its own pixels. A mask
// given through Qt is scaled one band of pixel rows at a time and, at a fractional
// scale factor, leaves gaps between the rows of the rounded corners.
namespace X11Shape {

// Cuts the window's corners at `radius` device-independent pixels times `scale`;
// false when there is no X connection or the window has no size yet.
bool cutCorners(WId window, int radius, qreal scale);
// Gives the window back its whole rectangle.
void clear(WId window);

} // namespace X11Shape

} // namespace Brellow
