#include "application.h"

#include "logfile.h"
#include "receiver.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#ifndef BRELLOW_SERVER_ADDRESS
#define BRELLOW_SERVER_ADDRESS "127.0.0.1"
#endif

QString Application::serverAddress()
{
    return QStringLiteral(BRELLOW_SERVER_ADDRESS);
}

Application::Application(int &argc, char **argv)
    : Application(argc, argv, serverAddress(), ServerPort)
{
}

Application::Application(int &argc, char **argv, const QString &host, int port)
    : QApplication(argc, argv)
{
    m_receiver = new Receiver(this, host, port);
    // A Qt child: the deleteLater below does not run once the event loop has ended,
    // and the store must not outlive the application object.
    m_settings = new QSettings(QSettings::IniFormat, QSettings::UserScope,
                               QStringLiteral("Brellow"), QStringLiteral("brellow"), this);

    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    // On a first run nothing has written the settings yet, so their folder may
    // not exist; without it the log could not be opened.
    QDir().mkpath(folder);
    m_log = std::make_unique<LogFile>(folder + QDir::separator() + QStringLiteral("brellow.log"));
    m_log->open();
    log(QStringLiteral("started"));
}

Application::~Application()
{
    m_settings->deleteLater();
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
    return m_log->fileName();
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
