#include <ui/desktopnotifier.h>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace Brellow {

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

void DesktopNotifier::notify(const QString &summary, const QString &body)
{
    if (m_inFlight) {
        m_waiting = std::make_pair(summary, body);
        return;
    }
    send(summary, body);
}

void DesktopNotifier::send(const QString &summary, const QString &body)
{
    if (!m_bus.isConnected()) {
        onReply(QStringLiteral("no session bus"), 0);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("brellow")}};
    call << QLatin1String(AppName) << m_lastId << QLatin1String(IconName) << summary << body
         << QStringList() << hints << qint32(-1);
    m_inFlight = true;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isError())
                    onReply(reply.error().message(), 0);
                else
                    onReply({}, reply.value());
            });
}

void DesktopNotifier::onReply(const QString &error, quint32 id)
{
    m_inFlight = false;
    if (error.isEmpty()) {
        m_lastId = id;
        m_failureLogged = false;
        emit shown(id);
    } else {
        if (!m_failureLogged)
            qInfo("desktop notification not shown: %s", qPrintable(error));
        m_failureLogged = true;
        emit failed(error);
    }
    if (m_waiting) {
        const auto [summary, body] = *m_waiting;
        m_waiting.reset();
        send(summary, body);
    }
}

} // namespace Brellow
