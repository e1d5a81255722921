#pragma once

#include <QLatin1StringView>

namespace Brellow {

// The keys of Brellow's settings store; the file is the agent's, so they never change.
namespace SettingsKeys {

inline constexpr QLatin1StringView LoginUsername{"loginUsername"};
inline constexpr QLatin1StringView MainWindowGeometry{"mainWindowGeometry"};

} // namespace SettingsKeys

} // namespace Brellow
