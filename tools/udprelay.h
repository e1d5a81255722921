#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <array>
#include <vector>

class QUdpSocket;

namespace Brellow {

// A UDP relay between Brellow clients and a statistics server that makes the network
// worse on purpose: it drops, delays, duplicates and reorders datagrams, so that the
// client and the practice server can be tried against a bad line.
//
// It listens on 127.0.0.1. Each client endpoint gets an upstream socket of its own, so
// the server sees one peer per client as it would without the relay; the server's answers
// to that socket go back to the client from the listening port, the only one a client's
// connected socket hears.
//
// The faults are drawn from one random generator per direction, seeded from `seed`: the
// same seed and the same datagrams in the same order give the same faults.
class UdpRelay : public QObject
{
    Q_OBJECT
public:
    enum Direction
    {
        Up = 0,  // client to server
        Down = 1 // server to client
    };

    struct Faults
    {
        double dropUp = 0.0;     // probability that a client's datagram is lost
        double dropDown = 0.0;   // probability that a server's datagram is lost
        int delayMs = 0;         // every datagram waits this long ...
        int jitterMs = 0;        // ... plus up to this long more, drawn for each one
        double duplicate = 0.0;  // probability that a datagram goes twice
        double reorder = 0.0;    // probability that a datagram is held back past the next one
        int reorderHoldMs = 200; // a held datagram goes anyway after this long alone
    };

    struct Counts
    {
        qint64 received = 0;
        qint64 sent = 0;
        qint64 dropped = 0;
        qint64 duplicated = 0; // datagrams that went twice
        qint64 delayed = 0;    // copies that waited
        qint64 reordered = 0;  // datagrams that another one overtook
        qint64 failed = 0;     // sends the socket refused
    };

    UdpRelay(const QHostAddress &server, quint16 serverPort, const Faults &faults, quint32 seed,
             QObject *parent = nullptr);
    ~UdpRelay() override;

    // Listens on 127.0.0.1:port; 0 picks a free port (see port()).
    bool listen(quint16 port = 0);
    QString errorString() const { return m_errorString; }
    quint16 port() const;

    Counts counts(Direction direction) const { return m_counts[direction]; }
    int clientCount() const { return int(m_clients.size()); }
    // Datagrams waiting for their delay or held back for reordering.
    int waitingCount() const;

signals:
    // A client endpoint was heard for the first time; upstreamPort is the port the
    // server sees for it.
    void clientAdded(const QHostAddress &address, quint16 port, quint16 upstreamPort);

private:
    struct Lane
    {
        QByteArray held;
        bool holding = false;
        QTimer *holdTimer = nullptr;
    };
    struct Client
    {
        QHostAddress address;
        quint16 port = 0;
        QUdpSocket *upstream = nullptr;
        std::array<Lane, 2> lanes;
    };
    struct Pending
    {
        qint64 dueMs;
        quint64 order; // keeps datagrams that are due together in their order
        Client *client;
        Direction direction;
        QByteArray datagram;
    };

    void onListenerReadyRead();
    void onUpstreamReadyRead(Client *client);
    Client *clientFor(const QHostAddress &address, quint16 port);
    bool chance(Direction direction, double probability);
    void intake(Client *client, Direction direction, const QByteArray &datagram);
    void deliver(Client *client, Direction direction, const QByteArray &datagram);
    void releaseHeld(Client *client, Direction direction);
    void send(Client *client, Direction direction, const QByteArray &datagram);
    void onDelayTimer();
    void scheduleDelayTimer();

    QHostAddress m_server;
    quint16 m_serverPort;
    Faults m_faults;
    std::array<QRandomGenerator, 2> m_random;
    std::array<Counts, 2> m_counts;
    QUdpSocket *m_listener;
    QHash<QString, Client *> m_clients;
    std::vector<Pending> m_pending; // sorted by (dueMs, order)
    quint64 m_nextOrder = 0;
    QTimer m_delayTimer;
    QElapsedTimer m_clock;
    QString m_errorString;
};

} // namespace Brellow
