#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>
#include <utility>

namespace Brellow {

// Desktop notifications (org.freedesktop.Notifications) in Brellow's name, each
// one replacing the one before instead of piling up. Calls never wait: without a
// notification service, or without a bus, a notification is dropped and said
// once in the log.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *AppName = "Brellow";
    // The program's icon in the desktop's icon theme, as installed by the package.
    static constexpr const char *IconName = "brellow";
    static constexpr int CallTimeoutMs = 5000;

    explicit DesktopNotifier(const QDBusConnection &bus, QObject *parent = nullptr);

    void notify(const QString &summary, const QString &body);
    // The service's id of the last notification shown; 0 before the first.
    quint32 lastId() const { return m_lastId; }

signals:
    void shown(quint32 id);
    void failed(const QString &error);

private:
    void send(const QString &summary, const QString &body);
    void onReply(const QString &error, quint32 id);

    QDBusConnection m_bus;
    quint32 m_lastId = 0;
    bool m_inFlight = false;
    bool m_failureLogged = false;
    // The newest notification asked for while one was on its way: sent once that
    // one's id is known, so that it can replace it.
    std::optional<std::pair<QString, QString>> m_waiting;
};

} // namespace Brellow
