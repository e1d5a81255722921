#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;

namespace Brellow {

// Keeps Brellow to one instance per user and desktop session. The first start
// holds a lock file in the user's runtime directory and listens on a local socket
// beside it; a later start finds the lock held, asks the first one through the
// socket to bring its window forward, and leaves.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // Works before any application object exists: the check must come before
    // Brellow opens (and so empties) its log.
    SingleInstance();
    ~SingleInstance() override;

    // True when this process holds the lock. A lock left behind by a process that
    // no longer runs is taken over.
    bool isFirst() const { return m_first; }

    // Second instance: asks the first one to raise its window. True when the
    // request arrived.
    bool raiseFirst();

    // First instance, once the application object exists: starts answering.
    bool listen();

    // The folder and names this instance uses, for diagnostics.
    QString lockFileName() const { return m_lockFileName; }
    QString socketName() const { return m_socketName; }

    // What tells desktop sessions apart: the X display and the Wayland display.
    static QString sessionKey();

signals:
    void raiseRequested();

private:
    void onNewConnection();

    QString m_lockFileName;
    QString m_socketName;
    std::unique_ptr<QLockFile> m_lock;
    QPointer<QLocalServer> m_server;
    bool m_first = false;
};

} // namespace Brellow
