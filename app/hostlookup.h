#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace Brellow {

// Looks up a host name on a thread of its own. A late answer is simply dropped:
// the thread is left behind rather than waited for, so a resolver that never
// answers can hold up neither start-up nor the end of the process. (Qt's own
// lookups run in a pool that is joined when the application object goes.)
class HostLookup : public QObject
{
    Q_OBJECT

public:
    explicit HostLookup(QObject *parent = nullptr);
    ~HostLookup() override;

    // Starts one lookup; finished() follows in this object's thread, unless this
    // object is gone by then.
    void start(const QString &host);

signals:
    // The addresses in the resolver's order, or none and the resolver's reason.
    void finished(const QList<QHostAddress> &addresses, const QString &errorText);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace Brellow
