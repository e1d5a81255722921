#include <ui/traynotices.h>

#include <ui/desktopnotifier.h>
#include <ui/mainwindow.h>

namespace Brellow {

TrayNotices::TrayNotices(MainWindow *window, const QDBusConnection &bus)
    : QObject(window), m_window(window), m_notifier(new DesktopNotifier(bus, this))
{
    connect(window, &MainWindow::agentNotice, this, &TrayNotices::onNotice);
}

void TrayNotices::onNotice(const AgentNotice &notice)
{
    // A window on show says it all itself.
    if (m_window->isVisible() || !notice.concernsConnection())
        return;
    m_notifier->notify(notice.summary(), notice.body());
}

} // namespace Brellow
