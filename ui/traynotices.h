#pragma once

#include <ui/agentnotice.h>

#include <QDBusConnection>
#include <QObject>

namespace Brellow {

class DesktopNotifier;
class MainWindow;

// While the window is hidden to the tray, changes of the link to the server
// (lost, back, the session ended by the server, resumed) come as desktop
// notifications, so that the agent learns of them without opening the window.
class TrayNotices : public QObject
{
    Q_OBJECT

public:
    TrayNotices(MainWindow *window, const QDBusConnection &bus);

    DesktopNotifier *notifier() const { return m_notifier; }

private:
    void onNotice(const AgentNotice &notice);

    MainWindow *m_window = nullptr;
    DesktopNotifier *m_notifier = nullptr;
};

} // namespace Brellow
