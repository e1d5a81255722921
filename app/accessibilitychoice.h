#pragma once

#include <app/sitesettings.h>

#include <QString>

#include <optional>

class QDBusConnection;

namespace Brellow {

// Whether the web engine shows the page to screen readers. The engine on Linux
// builds its accessibility tree only when told to before it starts, and the
// tree costs memory and time on every change of the page, so Brellow turns it
// on only for agents who use it: when the desktop's accessibility is on, when
// Qt is told to keep its own on, or when the site asks for it.
class AccessibilityChoice
{
public:
    enum class Reason
    {
        // On: QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY was already set.
        Environment,
        // On: the site file says accessibility=true.
        Site,
        // On: QT_LINUX_ACCESSIBILITY_ALWAYS_ON is set.
        AlwaysOn,
        // On: the desktop's accessibility status says so.
        Desktop,
        // Off: no session bus to ask.
        NoBus,
        // Off: nothing on the session bus serves the accessibility status.
        NoService,
        // Off: the desktop's accessibility and screen reader are off.
        DesktopOff
    };

    // What the session bus says about the desktop's accessibility.
    struct DesktopStatus
    {
        bool busConnected = false;
        bool serviceFound = false;
        // Why the status could not be read, when it could not.
        QString error;
        bool isEnabled = false;
        bool screenReaderEnabled = false;
    };

    struct Inputs
    {
        bool engineVariableSet = false;
        // The site's accessibility key; nullopt when the file does not have it.
        std::optional<bool> site;
        bool alwaysOn = false;
        // Asked only when nothing above decides.
        DesktopStatus desktop;
    };

    static constexpr const char *EngineVariable = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
    static constexpr const char *AlwaysOnVariable = "QT_LINUX_ACCESSIBILITY_ALWAYS_ON";
    // Each question to the bus may take this long; a healthy bus answers at once.
    static constexpr int BusTimeoutMs = 500;

    static AccessibilityChoice decide(const Inputs &inputs);
    // Asks the bus without starting anything: a service that is not running is
    // not activated.
    static DesktopStatus queryDesktop(const QDBusConnection &bus, int timeoutMs = BusTimeoutMs);

    // Decides from the environment, the site and the session bus, and sets the
    // engine's variable when the answer is yes. Call once the application object
    // exists (the bus needs it) and before the first web view: the engine reads
    // the variable when it starts.
    static AccessibilityChoice apply(const SiteSettings &site);

    bool engineOn() const;
    Reason reason() const { return m_reason; }
    // One line for the log: on or off, and why.
    QString description() const;

private:
    Reason m_reason = Reason::NoBus;
    DesktopStatus m_desktop;
};

} // namespace Brellow
