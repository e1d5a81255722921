#pragma once

#include <QWidget>

namespace Brellow {

// What Brellow asks of an X11 desktop beyond what Qt's window flags say. Every
// function does nothing (or answers false) on other platforms, where there is
// no X connection to ask.
namespace X11Desktop {

bool isActive();

// Asks the window manager to keep the window out of the task bar and the pager
// and on every workspace. Before the window is mapped this goes into the
// window's _NET_WM_STATE property, which Qt merges into its own states.
void setStatesBeforeMap(WId window);
// Once mapped, the same request goes to the window manager as a message.
void requestStates(WId window);

// True when a compositing manager runs for the window's screen, so that
// transparent pixels show the desktop behind them rather than black.
bool compositorRunning(WId window);

} // namespace X11Desktop

} // namespace Brellow
