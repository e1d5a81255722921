#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns POSIX signals into a Qt signal on the event loop. The handler only writes the
// signal number into a socket pair, the one async-signal-safe thing worth doing there.
// One instance per process: the handler is process-wide.
class SimSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SimSignalWatcher(QObject *parent = nullptr);
    ~SimSignalWatcher() override;

    // Installs the handler for signalNumber; false if that failed.
    bool watch(int signalNumber);

signals:
    void signalled(int signalNumber);

private:
    void onActivated();

    QSocketNotifier *m_notifier = nullptr;
    QList<int> m_watched;
};
