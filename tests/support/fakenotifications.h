#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

#include <memory>

namespace UiTest {

class PrivateBus;

// A desktop notification service (org.freedesktop.Notifications) that shows
// nothing and keeps every Notify call.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString appName;
        quint32 replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QVariantMap hints;
        qint32 expireTimeout = 0;
        // The id the service gave back.
        quint32 id = 0;
    };

    // The calls so far and the notifications on show; shared with the test's thread.
    class Log
    {
    public:
        QList<Call> calls() const;
        // Keeps the call and gives it its id: that of the notification it replaces
        // while that one is on show, a new one otherwise.
        quint32 add(Call call);
        // The user closes every notification on show. One that names a closed one
        // as replaced is shown anew under a new id, so a sender must replace by the
        // id it was given last.
        void dismissAll();

    private:
        mutable QMutex m_mutex;
        QList<Call> m_calls;
        QSet<quint32> m_shown;
        quint32 m_nextId = 1;
    };

    FakeNotifications(std::shared_ptr<Log> log, QObject *parent = nullptr);

    // Serves notifications on the bus from a thread of its own.
    static std::shared_ptr<Log> run(PrivateBus &bus);

public slots:
    quint32 Notify(const QString &appName, quint32 replacesId, const QString &appIcon,
                   const QString &summary, const QString &body, const QStringList &actions,
                   const QVariantMap &hints, qint32 expireTimeout);
    QStringList GetCapabilities();
    void CloseNotification(quint32 id);
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion);

private:
    std::shared_ptr<Log> m_log;
};

} // namespace UiTest
