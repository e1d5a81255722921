#include <sim/simsession.h>

#include <sim/feed.h>

namespace Brellow {

SimSession::SimSession(const QString &id, const QString &user, const QHostAddress &address,
                       quint16 port, Feed *feed, int idleTimeoutMs, QObject *parent)
    : QObject(parent), m_id(id), m_user(user), m_address(address), m_port(port), m_feed(feed)
{
    m_feed->setParent(this);
    connect(m_feed, &Feed::message, this, &SimSession::message);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(idleTimeoutMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &SimSession::idle);
}

bool SimSession::isFrom(const QHostAddress &address, quint16 port) const
{
    return port == m_port && address.isEqual(m_address, QHostAddress::ConvertV4MappedToIPv4);
}

void SimSession::start()
{
    if (m_stopped)
        return;
    touch();
    m_feed->start();
}

void SimSession::stop()
{
    m_stopped = true;
    m_idleTimer.stop();
    m_feed->stop();
    disconnect(m_feed, nullptr, this, nullptr);
}

void SimSession::touch()
{
    if (!m_stopped && m_idleTimer.interval() > 0)
        m_idleTimer.start();
}

} // namespace Brellow
