#include <app/singleinstance.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Brellow {

namespace {

constexpr char raiseRequest[] = "raise\n";
// The first instance may still be starting up (its server link waits up to five
// seconds before it listens), so a later start keeps trying for a while.
constexpr int connectPatienceMs = 15000;

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

// The runtime folder is the user's own; the user's number in the name also keeps
// users apart where the folder falls back to a shared one.
QString userId()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// Keeps a name to characters that are safe in a file name.
QString safeName(const QString &text)
{
    QString safe;
    for (const QChar c : text)
        safe += (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.'))
                    ? c
                    : QChar('_');
    return safe;
}

} // namespace

QString SingleInstance::sessionKey()
{
    return qEnvironmentVariable("DISPLAY") + QLatin1Char('|') +
           qEnvironmentVariable("WAYLAND_DISPLAY");
}

SingleInstance::SingleInstance()
{
    const QString base = runtimeFolder() + QLatin1Char('/') +
                         safeName(QStringLiteral("brellow-%1-%2").arg(userId(), sessionKey()));
    m_lockFileName = base + QStringLiteral(".lock");
    m_socketName = base + QStringLiteral(".socket");

    m_lock = std::make_unique<QLockFile>(m_lockFileName);
    // A running Brellow holds its lock for days: only a lock whose process has
    // gone counts as stale, never an old one.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
    if (!m_first && m_lock->error() == QLockFile::LockFailedError) {
        // Another process holds it, or it died holding it: QLockFile checks the
        // recorded process; remove a dead one's lock and try once more.
        if (m_lock->removeStaleLockFile())
            m_first = m_lock->tryLock(0);
    }
    // No lock file can be written at all (a read-only runtime folder): run rather
    // than refuse to start.
    if (!m_first && m_lock->error() != QLockFile::LockFailedError)
        m_first = true;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listen()
{
    if (!m_first)
        return false;
    // Owned by the application object: it must go before the event dispatcher does.
    m_server = new QLocalServer(QCoreApplication::instance());
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, a socket file still there was left by a process that died.
    QLocalServer::removeServer(m_socketName);
    if (!m_server->listen(m_socketName))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == raiseRequest)
                    emit raiseRequested();
            }
        });
    }
}

bool SingleInstance::raiseFirst()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < connectPatienceMs) {
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (socket.waitForConnected(1000)) {
            socket.write(raiseRequest);
            const bool sent = socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            return sent;
        }
        QThread::msleep(200);
    }
    return false;
}

} // namespace Brellow
