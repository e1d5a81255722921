#pragma once

#include <QObject>
#include <QTimer>

namespace Brellow {

class SimLog;

// Counts login datagrams per second of the wall clock and, just after each second in
// which any arrived, writes "logins N/s" to the log. Shows how a crowd of clients comes
// back after a restart: all at once, or spread out.
class LoginRate : public QObject
{
    Q_OBJECT
public:
    explicit LoginRate(SimLog *log, QObject *parent = nullptr);

    // One login datagram arrived now.
    void count();
    // Writes the line of the second under way, if it has logins (at shutdown).
    void flush();

private:
    SimLog *m_log;
    QTimer m_timer;
    qint64 m_second = -1;
    int m_count = 0;
};

} // namespace Brellow
