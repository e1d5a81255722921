#pragma once

#include <ui/agentnotice.h>
#include <ui/announcementarea.h>

#include <QObject>
#include <QPointer>

namespace Brellow {

class MainWindow;

// Says the window's notices to screen readers: a call's start and outcome, and
// changes of the link to the server.
class Announcer : public QObject
{
    Q_OBJECT

public:
    explicit Announcer(MainWindow *window);

    AnnouncementArea *area() const { return m_area; }

private:
    void onNotice(const AgentNotice &notice);

    QPointer<AnnouncementArea> m_area;
    AgentNotice m_last;
    bool m_saidAny = false;
};

} // namespace Brellow
