#include <ui/announcer.h>

#include <ui/announcementarea.h>
#include <ui/mainwindow.h>

namespace Brellow {

Announcer::Announcer(MainWindow *window) : QObject(window), m_area(new AnnouncementArea(window))
{
    connect(window, &MainWindow::agentNotice, this, &Announcer::onNotice);
}

void Announcer::onNotice(const AgentNotice &notice)
{
    // The server may repeat an outcome; the agent hears it once.
    if (m_saidAny && notice == m_last)
        return;
    m_last = notice;
    m_saidAny = true;
    if (m_area)
        m_area->announce(notice.spoken());
}

} // namespace Brellow
