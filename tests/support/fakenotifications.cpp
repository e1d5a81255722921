#include <tests/support/fakenotifications.h>

#include <tests/support/privatebus.h>

namespace UiTest {

QList<FakeNotifications::Call> FakeNotifications::Log::calls() const
{
    const QMutexLocker lock(&m_mutex);
    return m_calls;
}

quint32 FakeNotifications::Log::add(Call call)
{
    const QMutexLocker lock(&m_mutex);
    // As the desktop notification protocol has it: a replaced notification keeps its id.
    call.id = m_shown.contains(call.replacesId) ? call.replacesId : m_nextId++;
    m_shown.insert(call.id);
    m_calls << call;
    return call.id;
}

void FakeNotifications::Log::dismissAll()
{
    const QMutexLocker lock(&m_mutex);
    m_shown.clear();
}

FakeNotifications::FakeNotifications(std::shared_ptr<Log> log, QObject *parent)
    : QObject(parent), m_log(std::move(log))
{
}

std::shared_ptr<FakeNotifications::Log> FakeNotifications::run(PrivateBus &bus)
{
    auto log = std::make_shared<Log>();
    bus.runService(QStringLiteral("notifications"),
                   [log](QDBusConnection &connection, QObject *owner) {
                       auto *service = new FakeNotifications(log, owner);
                       connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                                 service, QDBusConnection::ExportAllSlots);
                       connection.registerService(QStringLiteral("org.freedesktop.Notifications"));
                   });
    return log;
}

quint32 FakeNotifications::Notify(const QString &appName, quint32 replacesId,
                                  const QString &appIcon, const QString &summary,
                                  const QString &body, const QStringList &actions,
                                  const QVariantMap &hints, qint32 expireTimeout)
{
    Q_UNUSED(actions);
    return m_log->add({appName, replacesId, appIcon, summary, body, hints, expireTimeout, 0});
}

QStringList FakeNotifications::GetCapabilities()
{
    return {QStringLiteral("body")};
}

void FakeNotifications::CloseNotification(quint32 id)
{
    Q_UNUSED(id);
}

QString FakeNotifications::GetServerInformation(QString &vendor, QString &version,
                                                QString &specVersion)
{
    vendor = QStringLiteral("Brellow tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake");
}

} // namespace UiTest
