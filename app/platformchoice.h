#pragma once

#include <QByteArray>
#include <QStringList>

namespace Brellow {

// Which Qt platform Brellow runs on. On a Wayland session a client can neither
// place its own window nor keep it above others, so Brellow prefers the X server
// that the session offers (XWayland) and uses Wayland only when there is none.
// A platform the user chose (QT_QPA_PLATFORM or -platform) always wins.
namespace PlatformChoice {

// The platform list to ask Qt for, or empty to leave Qt's own choice alone.
QByteArray preferredPlatform(const QStringList &arguments, const QByteArray &qpaPlatform,
                             const QByteArray &waylandDisplay, const QByteArray &sessionType);

// Applies the choice for this process; must run before the application object exists.
void apply(int argc, char **argv);

} // namespace PlatformChoice

} // namespace Brellow
