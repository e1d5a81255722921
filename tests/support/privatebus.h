#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QThread;

namespace UiTest {

// A session bus of the test's own (dbus-daemon on a socket in a private folder),
// on which nothing is activated: a service exists only if the test runs it.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();

    // Starts the daemon; false (with the reason in error()) when it did not.
    bool start();
    QString address() const { return m_address; }
    QString error() const { return m_error; }

    // A connection of this process to the bus, under a name of its own.
    QDBusConnection connect(const QString &connectionName);

    // Runs a service on a thread of its own, with a connection of its own: the
    // test's thread may then block in a call to it. `setup` runs on that thread
    // and creates the service's objects, which end with the thread.
    void runService(const QString &connectionName,
                    std::function<void(QDBusConnection &bus, QObject *owner)> setup);

    // An environment for a child process on this bus.
    void addTo(QProcessEnvironment &environment) const;

private:
    QString uniqueName(const QString &connectionName) const;

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
    std::vector<std::unique_ptr<QThread>> m_threads;
};

} // namespace UiTest
