#include <app/application.h>

#include <app/hostlookup.h>
#include <app/logfile.h>
#include <app/serveraddress.h>
#include <net/receiver.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

#include <cstdio>

#ifndef BRELLOW_VERSION
#define BRELLOW_VERSION "0"
#endif

namespace Brellow {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationVersion(version());
}

QString Application::version()
{
    return QStringLiteral(BRELLOW_VERSION);
}

void Application::openSettingsAndLog()
{
    // A Qt child: the deleteLater below does not run once the event loop has ended,
    // and the store must not outlive the application object.
    m_settings = new QSettings(QSettings::IniFormat, QSettings::UserScope,
                               QStringLiteral("Brellow"), QStringLiteral("brellow"), this);

    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    // On a first run nothing has written the settings yet, so their folder may
    // not exist; without it the log could not be opened.
    QDir().mkpath(folder);
    m_log = std::make_unique<LogFile>(folder + QDir::separator() + QStringLiteral("brellow.log"));
    // The log itself may be what fails, so standard error hears of it too.
    if (!m_log->open())
        std::fprintf(stderr, "brellow: cannot write the log %s\n", qPrintable(m_log->fileName()));
    log(QStringLiteral("started"));
    if (!m_settings->isWritable()) {
        const QString text =
            QStringLiteral("cannot write the settings %1: the user name and the window's "
                           "place will not be kept")
                .arg(m_settings->fileName());
        log(text);
        std::fprintf(stderr, "brellow: %s\n", qPrintable(text));
    }
}

bool Application::connectToServer(const ServerAddress &server, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QHostAddress address = server.address();
    if (address.isNull())
        address = lookUp(server.host(), deadline);
    if (address.isNull() || m_quitRequested)
        return false;
    m_receiver = new Receiver(this, address.toString(), server.port(),
                              int(qMax<qint64>(0, deadline.remainingTime())));
    return m_receiver->isConnected();
}

QHostAddress Application::lookUp(const QString &host, const QDeadlineTimer &deadline)
{
    if (m_quitRequested)
        return {};
    QList<QHostAddress> addresses;
    QString errorText;
    bool answered = false;

    QEventLoop loop;
    HostLookup lookup;
    connect(&lookup, &HostLookup::finished, &loop,
            [&](const QList<QHostAddress> &found, const QString &error) {
                addresses = found;
                errorText = error;
                answered = true;
                loop.quit();
            });
    connect(this, &Application::quitRequested, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    lookup.start(host);
    timer.start(int(qMax<qint64>(0, deadline.remainingTime())));
    loop.exec();

    if (!answered) {
        if (!m_quitRequested)
            log(QStringLiteral("no answer for %1 in time").arg(host));
        return {};
    }
    if (addresses.isEmpty()) {
        log(QStringLiteral("cannot find %1: %2").arg(host, errorText));
        return {};
    }
    // IPv4 first: the statistics server listens on IPv4, while a name such as
    // "localhost" often gives the IPv6 address first.
    QHostAddress chosen = addresses.first();
    for (const QHostAddress &candidate : addresses) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
            chosen = candidate;
            break;
        }
    }
    log(QStringLiteral("%1 is %2").arg(host, chosen.toString()));
    return chosen;
}

void Application::requestQuit()
{
    m_quitRequested = true;
    emit quitRequested();
    // Not quit(): under Qt 6 that first asks every visible top-level window to close
    // and gives up at the first refusal. The main window refuses (it hides to the
    // tray), and the tray icon's own window, visited after it in no fixed order,
    // then keeps the quit from happening. Leaving the event loops asks nobody.
    exit(0);
}

Application::~Application()
{
    if (m_settings)
        m_settings->deleteLater();
    if (m_receiver)
        m_receiver->deleteLater();
    log(QStringLiteral("terminated"));
    // The settings store and the log go with this object: once it is gone, instance() no
    // longer finds an Application and the message handler writes nothing.
}

Application *Application::instance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

QString Application::logFileName() const
{
    return m_log ? m_log->fileName() : QString();
}

QString Application::escapeLogText(const QString &text)
{
    return LogFile::escape(text);
}

void Application::log(const QString &text)
{
    if (m_log)
        m_log->write(text);
}

void messageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (Application *app = Application::instance())
        app->log(message);
}

} // namespace Brellow
