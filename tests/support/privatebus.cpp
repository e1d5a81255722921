#include <tests/support/privatebus.h>

#include <tools/childprocess.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSemaphore>
#include <QThread>

namespace UiTest {

namespace {

// No service folders: nothing the test does not run itself can answer.
constexpr char Config[] =
    R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

class ServiceThread : public QThread
{
public:
    ServiceThread(QString address, QString name,
                  std::function<void(QDBusConnection &, QObject *)> setup)
        : m_address(std::move(address)), m_name(std::move(name)), m_setup(std::move(setup))
    {
    }

    QSemaphore ready;

protected:
    void run() override
    {
        {
            QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_name);
            QObject owner;
            m_setup(bus, &owner);
            ready.release();
            exec();
        }
        QDBusConnection::disconnectFromBus(m_name);
    }

private:
    QString m_address;
    QString m_name;
    std::function<void(QDBusConnection &, QObject *)> m_setup;
};

} // namespace

PrivateBus::PrivateBus() = default;

PrivateBus::~PrivateBus()
{
    for (const std::unique_ptr<QThread> &thread : m_threads) {
        thread->quit();
        thread->wait();
    }
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
}

bool PrivateBus::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)) {
        m_error = config.errorString();
        return false;
    }
    config.write(QString::fromLatin1(Config).arg(m_dir.path()).toUtf8());
    config.close();

    ChildProcess::dieWithParent(m_daemon);
    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(),
                    QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(10000)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!m_daemon.canReadLine()) {
        if (deadline.hasExpired() || m_daemon.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("dbus-daemon gave no address: ") +
                      QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return false;
        }
        m_daemon.waitForReadyRead(100);
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

QDBusConnection PrivateBus::connect(const QString &connectionName)
{
    m_connections << uniqueName(connectionName);
    return QDBusConnection::connectToBus(m_address, m_connections.last());
}

QString PrivateBus::uniqueName(const QString &connectionName) const
{
    // Connection names are the process's: a second bus must not get the first's.
    return connectionName + QLatin1Char('@') + m_address;
}

void PrivateBus::runService(const QString &connectionName,
                            std::function<void(QDBusConnection &, QObject *)> setup)
{
    auto thread =
        std::make_unique<ServiceThread>(m_address, uniqueName(connectionName), std::move(setup));
    thread->start();
    thread->ready.acquire();
    m_threads.push_back(std::move(thread));
}

void PrivateBus::addTo(QProcessEnvironment &environment) const
{
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
}

} // namespace UiTest
