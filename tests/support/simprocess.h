#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace UiTest {

// The practice server as a process of its own, read through its log on stdout.
// Killed at the end if it still runs.
class SimProcess
{
public:
    explicit SimProcess(const QString &program);
    ~SimProcess();

    // Starts the server listening on 127.0.0.1:port (0 picks a free port) and
    // waits for its "listening" line.
    bool start(quint16 port, const QStringList &arguments = {});
    // Ends the process the hard way: no goodbye to any client.
    bool kill();

    quint16 port() const { return m_port; }
    QProcess &process() { return m_process; }
    QStringList lines();
    bool waitForLine(const QRegularExpression &pattern, int timeoutMs = 5000);

private:
    QString m_program;
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_pending;
    QStringList m_lines;
};

} // namespace UiTest
