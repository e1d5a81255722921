#pragma once

#include <QPoint>
#include <QRect>

namespace Brellow {

// Where Brellow's window goes when it changes size: it keeps its top edge, except
// that it never reaches below the screen limit, and a window sitting on the limit
// stays on it when it grows or shrinks.
namespace Placement {

// The lowest y a window's bottom may reach: the available height, or 40 pixels
// above the screen's bottom when no task bar reserves space.
int screenLimit(const QRect &available, const QRect &screen);

// First start without a stored place: centred on the available width (its left
// edge is not added), just above the limit.
QPoint defaultPosition(const QRect &available, int limit);

// The window's new top. collapsing: a switch to compact mode that may move a
// window whose bottom had reached the limit back onto it.
int settleY(int y, int currentHeight, int newHeight, int limit, bool collapsing);

} // namespace Placement

} // namespace Brellow
