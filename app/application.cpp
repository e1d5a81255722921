#include <app/application.h>

#include <net/receiver.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

#ifndef BRELLOW_SERVER_ADDRESS
#define BRELLOW_SERVER_ADDRESS "127.0.0.1"
#endif

namespace Brellow {

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
    m_settings = new QSettings(QSettings::IniFormat, QSettings::UserScope,
                               QStringLiteral("Brellow"), QStringLiteral("brellow"));

    const QString folder = QFileInfo(m_settings->fileName()).absolutePath();
    // On a first run nothing has written the settings yet, so their folder may
    // not exist; without it the log could not be opened.
    QDir().mkpath(folder);
    m_logFile = new QFile(folder + QDir::separator() + QStringLiteral("brellow.log"));
    if (m_logFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
        m_logStream = new QTextStream(m_logFile);
    log(QStringLiteral("started"));
}

Application::~Application()
{
    m_settings->deleteLater();
    m_receiver->deleteLater();
    log(QStringLiteral("terminated"));
    // The settings store and the log live to the end of the process: the Qt
    // message handler may still write while QApplication winds down.
}

Application *Application::instance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

QString Application::logFileName() const
{
    return m_logFile->fileName();
}

QString Application::escapeLogText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            // C0, DEL, C1 and the Unicode line and paragraph separators.
            if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029)
                escaped += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    return escaped;
}

void Application::log(const QString &text)
{
    if (!m_logStream)
        return;
    *m_logStream << QDateTime::currentDateTime().toString(Qt::TextDate) << '\t'
                 << escapeLogText(text) << Qt::endl;
}

void messageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (Application *app = Application::instance())
        app->log(message);
}

} // namespace Brellow
