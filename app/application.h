#pragma once

#include <net/messages.h>

#include <QApplication>
#include <QString>

class QFile;
class QSettings;
class QTextStream;

namespace Brellow {

class Receiver;

// The application object: owns the server link, the settings store and the log
// for the whole run. Everything else reaches them through Application::instance().
class Application : public QApplication
{
    Q_OBJECT

public:
    static constexpr int ServerPort = Messages::ServerPort;
    static QString serverAddress();

    Application(int &argc, char **argv);
    // For tests: the same application talking to another server.
    Application(int &argc, char **argv, const QString &host, int port);
    ~Application() override;

    static Application *instance();

    Receiver *receiver() const { return m_receiver; }
    QSettings *settings() const { return m_settings; }

    void log(const QString &text);
    QString logFileName() const;

    // One log line per message: control characters (line breaks above all)
    // are written as escapes, so no text can forge or split lines.
    static QString escapeLogText(const QString &text);

private:
    Receiver *m_receiver = nullptr;
    QSettings *m_settings = nullptr;
    QTextStream *m_logStream = nullptr;
    QFile *m_logFile = nullptr;
};

// Sends every Qt message, of any type, to the log; the type is not written.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

} // namespace Brellow
