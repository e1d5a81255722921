#include <tools/udprelay.h>

#include <net/datagrams.h>

#include <QUdpSocket>

#include <algorithm>

namespace Brellow {

namespace {

constexpr int MaxDatagramSize = 65536;

QString peerKey(const QHostAddress &address, quint16 port)
{
    return address.toString() + QLatin1Char('|') + QString::number(port);
}

// Reads every waiting datagram. A socket woken by an ICMP error (the other side's port is
// closed) has nothing to read but tells of new datagrams again only after one read.
template <typename Handler> void readAll(QUdpSocket &socket, Handler handle)
{
    bool handled = false;
    Datagrams::drain(socket,
                     [&](const QByteArray &datagram, const QHostAddress &from, quint16 port) {
                         handled = true;
                         handle(datagram, from, port);
                     });
    if (handled)
        return;
    QByteArray datagram(MaxDatagramSize, Qt::Uninitialized);
    QHostAddress from;
    quint16 port = 0;
    const qint64 read = socket.readDatagram(datagram.data(), datagram.size(), &from, &port);
    if (read >= 0) {
        datagram.truncate(read);
        handle(datagram, from, port);
    }
}

} // namespace

UdpRelay::UdpRelay(const QHostAddress &server, quint16 serverPort, const Faults &faults,
                   quint32 seed, QObject *parent)
    : QObject(parent), m_server(server), m_serverPort(serverPort), m_faults(faults),
      // Each direction draws on its own, so that the interleaving of the two does not
      // change the faults of either.
      m_random{QRandomGenerator(seed), QRandomGenerator(seed ^ 0x9e3779b9u)},
      m_listener(new QUdpSocket(this))
{
    m_clock.start();
    m_delayTimer.setSingleShot(true);
    m_delayTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_delayTimer, &QTimer::timeout, this, &UdpRelay::onDelayTimer);
    connect(m_listener, &QUdpSocket::readyRead, this, &UdpRelay::onListenerReadyRead);
}

UdpRelay::~UdpRelay()
{
    qDeleteAll(m_clients);
}

bool UdpRelay::listen(quint16 port)
{
    if (!m_listener->bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress)) {
        m_errorString = m_listener->errorString();
        return false;
    }
    return true;
}

quint16 UdpRelay::port() const
{
    return m_listener->localPort();
}

int UdpRelay::waitingCount() const
{
    int held = 0;
    for (const Client *client : m_clients) {
        for (const Lane &lane : client->lanes)
            held += lane.holding ? 1 : 0;
    }
    return int(m_pending.size()) + held;
}

void UdpRelay::onListenerReadyRead()
{
    readAll(*m_listener,
            [this](const QByteArray &datagram, const QHostAddress &from, quint16 port) {
                // An ICMP error for an answer to a client that has gone names no sender.
                if (from.isNull() || port == 0)
                    return;
                if (Client *client = clientFor(from, port))
                    intake(client, Up, datagram);
            });
}

void UdpRelay::onUpstreamReadyRead(Client *client)
{
    readAll(*client->upstream,
            [this, client](const QByteArray &datagram, const QHostAddress &, quint16 port) {
                if (port != 0)
                    intake(client, Down, datagram);
            });
}

UdpRelay::Client *UdpRelay::clientFor(const QHostAddress &address, quint16 port)
{
    const QString key = peerKey(address, port);
    if (Client *client = m_clients.value(key))
        return client;
    auto *client = new Client;
    client->address = address;
    client->port = port;
    client->upstream = new QUdpSocket(this);
    // Connected, as a client's own socket is: only the server's datagrams come in.
    client->upstream->connectToHost(m_server, m_serverPort);
    if (!client->upstream->waitForConnected(1000)) {
        delete client->upstream;
        delete client;
        return nullptr;
    }
    connect(client->upstream, &QUdpSocket::readyRead, this,
            [this, client] { onUpstreamReadyRead(client); });
    for (const Direction direction : {Up, Down}) {
        Lane &lane = client->lanes[direction];
        lane.holdTimer = new QTimer(this);
        lane.holdTimer->setSingleShot(true);
        connect(lane.holdTimer, &QTimer::timeout, this,
                [this, client, direction] { releaseHeld(client, direction); });
    }
    m_clients.insert(key, client);
    emit clientAdded(address, port, client->upstream->localPort());
    return client;
}

bool UdpRelay::chance(Direction direction, double probability)
{
    // Nothing is drawn for a fault that is off, so that turning one on leaves the
    // draws of the others as they were for the same seed up to its first use.
    if (probability <= 0.0)
        return false;
    return m_random[direction].generateDouble() < probability;
}

void UdpRelay::intake(Client *client, Direction direction, const QByteArray &datagram)
{
    Counts &counts = m_counts[direction];
    ++counts.received;
    if (chance(direction, direction == Up ? m_faults.dropUp : m_faults.dropDown)) {
        ++counts.dropped;
        return;
    }
    int copies = 1;
    if (chance(direction, m_faults.duplicate)) {
        copies = 2;
        ++counts.duplicated;
    }
    for (int i = 0; i < copies; ++i) {
        int waitMs = m_faults.delayMs;
        if (m_faults.jitterMs > 0)
            waitMs += int(m_random[direction].bounded(quint32(m_faults.jitterMs) + 1));
        if (waitMs <= 0) {
            deliver(client, direction, datagram);
            continue;
        }
        ++counts.delayed;
        const Pending pending{m_clock.elapsed() + waitMs, m_nextOrder++, client, direction,
                              datagram};
        const auto later = std::upper_bound(
            m_pending.begin(), m_pending.end(), pending, [](const Pending &a, const Pending &b) {
                return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
            });
        m_pending.insert(later, pending);
        scheduleDelayTimer();
    }
}

void UdpRelay::scheduleDelayTimer()
{
    if (m_pending.empty()) {
        m_delayTimer.stop();
        return;
    }
    m_delayTimer.start(int(qMax<qint64>(0, m_pending.front().dueMs - m_clock.elapsed())));
}

void UdpRelay::onDelayTimer()
{
    const qint64 now = m_clock.elapsed();
    while (!m_pending.empty() && m_pending.front().dueMs <= now) {
        const Pending pending = std::move(m_pending.front());
        m_pending.erase(m_pending.begin());
        deliver(pending.client, pending.direction, pending.datagram);
    }
    scheduleDelayTimer();
}

void UdpRelay::deliver(Client *client, Direction direction, const QByteArray &datagram)
{
    Lane &lane = client->lanes[direction];
    if (lane.holding) {
        // This one overtakes the datagram held back.
        send(client, direction, datagram);
        ++m_counts[direction].reordered;
        releaseHeld(client, direction);
        return;
    }
    if (chance(direction, m_faults.reorder)) {
        lane.held = datagram;
        lane.holding = true;
        lane.holdTimer->start(m_faults.reorderHoldMs);
        return;
    }
    send(client, direction, datagram);
}

void UdpRelay::releaseHeld(Client *client, Direction direction)
{
    Lane &lane = client->lanes[direction];
    lane.holdTimer->stop();
    if (!lane.holding)
        return;
    lane.holding = false;
    send(client, direction, lane.held);
    lane.held.clear();
}

void UdpRelay::send(Client *client, Direction direction, const QByteArray &datagram)
{
    const qint64 written = direction == Up
                               ? client->upstream->write(datagram)
                               : m_listener->writeDatagram(datagram, client->address, client->port);
    // A failed send is a lost datagram, as on the real network.
    ++(written >= 0 ? m_counts[direction].sent : m_counts[direction].failed);
}

} // namespace Brellow
