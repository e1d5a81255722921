#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
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

    // The calls so far; shared with the test's thread.
    class Log
    {
    public:
        QList<Call> calls() const;
        void add(const Call &call);

    private:
        mutable QMutex m_mutex;
        QList<Call> m_calls;
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
    quint32 m_nextId = 1;
};

} // namespace UiTest
