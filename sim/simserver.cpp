#include <sim/simserver.h>

#include <sim/callplayer.h>
#include <sim/loginrate.h>
#include <sim/scriptplayer.h>
#include <sim/simlog.h>
#include <sim/simsession.h>

#include <net/datagrams.h>
#include <net/messages.h>

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace Brellow {

namespace {
QString str(const char *text)
{
    return QString::fromLatin1(text);
}

QJsonObject reply(QLatin1StringView cmd)
{
    return QJsonObject{{Messages::Cmd, cmd}};
}

// Members the client sends as strings; anything else there makes the request malformed.
bool isStringOrAbsent(const QJsonValue &value)
{
    return value.isUndefined() || value.isString();
}
} // namespace

SimServer::SimServer(const SimConfig &config, SimLog *log, QObject *parent)
    : QObject(parent), m_config(config), m_log(log), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &SimServer::onReadyRead);
    if (m_config.logLoginRate)
        m_loginRate = new LoginRate(m_log, this);
}

SimServer::~SimServer()
{
    for (SimSession *session : std::as_const(m_sessionOrder))
        session->stop();
}

bool SimServer::listen(const QHostAddress &address, quint16 port)
{
    // Without address sharing a second server on the same port fails instead of stealing
    // half of the datagrams.
    if (!m_socket->bind(address, port, QAbstractSocket::DontShareAddress)) {
        m_errorString = m_socket->errorString();
        return false;
    }
    return true;
}

QHostAddress SimServer::address() const
{
    return m_socket->localAddress();
}

quint16 SimServer::port() const
{
    return m_socket->localPort();
}

void SimServer::onReadyRead()
{
    Datagrams::drain(*m_socket, [this](const QByteArray &datagram, const QHostAddress &from,
                                       quint16 port) { handleDatagram(datagram, from, port); });
}

void SimServer::handleDatagram(const QByteArray &datagram, const QHostAddress &from, quint16 port)
{
    m_log->datagramIn(from, port, datagram);

    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(datagram, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return dropMalformed(from, port, str("invalid JSON: ") + parseError.errorString());
    if (!doc.isObject())
        return dropMalformed(from, port, str("not a JSON object"));
    const QJsonObject request = doc.object();

    const QJsonValue cmdValue = request.value(Messages::Cmd);
    if (cmdValue.isUndefined())
        return dropMalformed(from, port, str("no cmd"));
    if (!cmdValue.isString())
        return dropMalformed(from, port, str("cmd is not a string"));
    const QString cmd = cmdValue.toString();
    const QJsonValue sessionId = request.value(Messages::SessionId);
    if (!isStringOrAbsent(sessionId))
        return dropMalformed(from, port, str("session_id is not a string"));

    if (cmd == Messages::Login) {
        // Every login datagram counts, whatever becomes of it: the rate is the load.
        if (m_loginRate)
            m_loginRate->count();
        return handleLogin(request, from, port);
    }

    if (cmd == Messages::Test) {
        const QJsonValue data = request.value(Messages::Data);
        if (!isStringOrAbsent(data))
            return dropMalformed(from, port, str("data is not a string"));
        // Needs no session, but one that is given counts as a sign of life.
        if (SimSession *session = sessionFor(sessionId, from, port))
            session->touch();
        QJsonObject ack = reply(Messages::TestAck);
        if (!data.isUndefined())
            ack.insert(Messages::Data, data);
        return send(from, port, ack);
    }

    if (cmd != Messages::Logout && cmd != Messages::Ping && cmd != Messages::NoTransfer)
        return dropMalformed(from, port, str("unknown cmd"));
    if (cmd == Messages::NoTransfer && !isStringOrAbsent(request.value(Messages::Text)))
        return dropMalformed(from, port, str("text is not a string"));

    SimSession *session = sessionFor(sessionId, from, port);
    if (!session)
        return send(from, port, reply(Messages::ShutdownAck));
    session->touch();
    if (cmd == Messages::Logout) {
        // Ended before the answer goes out, so that no push can follow "logout_ack".
        endSession(session, QStringLiteral("logout"));
        send(from, port, reply(Messages::LogoutAck));
    } else if (cmd == Messages::Ping) {
        send(from, port, reply(Messages::PingAck));
    } else {
        send(from, port, reply(Messages::NoTransferAck));
    }
}

void SimServer::handleLogin(const QJsonObject &request, const QHostAddress &from, quint16 port)
{
    const QJsonValue username = request.value(Messages::Username);
    const QJsonValue password = request.value(Messages::Password);
    if (!username.isString() || !password.isString())
        return dropMalformed(from, port, str("login needs string username and password"));

    // One session per peer. The client logs out before logging in again, but whatever the
    // peer still holds (a lost logout, a restarted client on the same port) ends here, so
    // that it never gets two sessions' pushes.
    if (SimSession *previous = sessionOfPeer(from, port))
        endSession(previous, str("replaced"));

    if (!m_config.accounts.check(username.toString(), password.toString())) {
        m_log->session(from, port, str("-"), str("refused user %1").arg(username.toString()));
        return send(from, port, reply(Messages::LoginAck));
    }
    if (m_sessions.size() >= m_config.maxSessions) {
        m_log->session(from, port, str("-"),
                       // In one pass, so that a "%2" in the user name stays as it is.
                       str("refused user %1 (full: %2 sessions)")
                           .arg(username.toString(), QString::number(m_config.maxSessions)));
        return send(from, port, reply(Messages::LoginAck));
    }

    SimSession *session = openSession(username.toString(), from, port);
    QJsonObject ack = reply(Messages::LoginAck);
    ack.insert(Messages::SessionId, session->id());
    ack.insert(Messages::MediaLinks, m_config.mediaLinks);
    send(from, port, ack);
    // After the answer, so that the client knows its session before the first push.
    session->start();
}

SimSession *SimServer::openSession(const QString &user, const QHostAddress &peer, quint16 port)
{
    Feed *feed = nullptr;
    if (m_config.useScript)
        feed = new ScriptPlayer(m_config.script);
    else
        feed = new CallPlayer(m_config.timings);
    auto *session =
        new SimSession(newSessionId(), user, peer, port, feed, m_config.idleTimeoutMs, this);
    connect(session, &SimSession::message, this, [this, session](const QJsonObject &msg) {
        send(session->address(), session->port(), msg);
    });
    connect(session, &SimSession::idle, this, [this, session] {
        const QHostAddress address = session->address();
        const quint16 peerPort = session->port();
        endSession(session, str("idle"));
        // Tell the client in case it is still there (a suspended laptop, say).
        send(address, peerPort, reply(Messages::ShutdownAck));
    });
    m_sessions.insert(session->id(), session);
    m_sessionOrder.append(session);
    m_log->session(peer, port, session->id(), str("opened user %1").arg(user));
    return session;
}

void SimServer::endSession(SimSession *session, const QString &reason)
{
    session->stop();
    m_sessions.remove(session->id());
    m_sessionOrder.removeOne(session);
    m_log->session(session->address(), session->port(), session->id(), str("closed ") + reason);
    // This may run inside one of the session's own signals.
    session->deleteLater();
}

void SimServer::shutdown()
{
    if (m_loginRate)
        m_loginRate->flush();
    const QList<SimSession *> sessions = m_sessionOrder;
    for (SimSession *session : sessions) {
        const QHostAddress address = session->address();
        const quint16 port = session->port();
        endSession(session, str("shutdown"));
        send(address, port, reply(Messages::ShutdownAck));
    }
}

SimSession *SimServer::sessionFor(const QJsonValue &id, const QHostAddress &from,
                                  quint16 port) const
{
    if (!id.isString())
        return nullptr;
    SimSession *session = m_sessions.value(id.toString());
    // An id is only good from the peer that logged in with it.
    return session && session->isFrom(from, port) ? session : nullptr;
}

SimSession *SimServer::sessionOfPeer(const QHostAddress &from, quint16 port) const
{
    for (SimSession *session : m_sessionOrder) {
        if (session->isFrom(from, port))
            return session;
    }
    return nullptr;
}

void SimServer::dropMalformed(const QHostAddress &from, quint16 port, const QString &reason)
{
    ++m_malformedCount;
    m_log->ignored(from, port, str("%1 (malformed: %2)").arg(reason).arg(m_malformedCount));
}

void SimServer::send(const QHostAddress &to, quint16 port, const QJsonObject &msg)
{
    const QByteArray json = QJsonDocument(msg).toJson(QJsonDocument::Compact);
    if (m_sender) {
        if (!m_sender(to, port, json)) {
            m_log->failed(to, port, str("send failed"));
            return;
        }
    } else if (m_socket->writeDatagram(json, to, port) < 0) {
        m_log->failed(to, port, str("send failed: ") + m_socket->errorString());
        return;
    }
    m_log->datagramOut(to, port, json);
}

QString SimServer::newSessionId()
{
    // 128 bits from the operating system's generator: not guessable from other ids.
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(words), sizeof(words)).toHex());
}

} // namespace Brellow
