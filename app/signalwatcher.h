#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit of the event loop, the
// same way out as the tray's "Exit": the window saves its place and logs out.
// Signals are written to a socket pair by the handler and read in the event loop.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isActive() const { return m_notifier != nullptr; }

signals:
    void signalled(int signalNumber);

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};
