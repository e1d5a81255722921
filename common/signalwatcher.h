#pragma once

#include <QList>
#include <QObject>

#include <csignal>
#include <initializer_list>

class QSocketNotifier;

namespace Brellow {

// Turns POSIX signals into a Qt signal on the event loop, so that a terminating
// signal can leave the way an orderly quit does. The handler only writes the
// signal number into a socket pair, the one async-signal-safe thing worth doing
// there. One instance per process: the handler is process-wide.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the given signals from the start; by default the ones that ask a
    // desktop program to end.
    explicit SignalWatcher(std::initializer_list<int> signalNumbers = {SIGTERM, SIGINT, SIGHUP},
                           QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isActive() const { return m_notifier != nullptr; }
    // Installs the handler for signalNumber; false if that failed.
    bool watch(int signalNumber);

signals:
    void signalled(int signalNumber);

private:
    void onActivated();

    QSocketNotifier *m_notifier = nullptr;
    QList<int> m_watched;
};

} // namespace Brellow
