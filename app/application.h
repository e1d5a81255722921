#pragma once

#include <QApplication>
#include <QString>

#include <memory>

class QDeadlineTimer;
class QHostAddress;
class QSettings;

namespace Brellow {

class LogFile;
class Receiver;
class ServerAddress;

// The application object: owns the server link, the settings store and the log
// for the whole run. Everything else reaches them through Application::instance().
//
// Start-up goes in steps that main() takes in order: the Qt base (the
// constructor), openSettingsAndLog(), then connectToServer(); receiver() is null
// until the last.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    static Application *instance();
    static QString version();

    // Opens the settings store and the log, emptying the log, and logs "started".
    void openSettingsAndLog();
    // Looks the host up when it is a name, then connects the server link; all
    // within timeoutMs. False when the host is not found, the socket does not
    // connect, or a quit is requested meanwhile.
    bool connectToServer(const ServerAddress &server, int timeoutMs);

    // "Exit", a terminating signal or the end of the desktop session. Ends every
    // running event loop with exit code 0, whatever the windows say; before the
    // loop runs, start-up sees it through isQuitRequested() and quitRequested().
    void requestQuit();
    bool isQuitRequested() const { return m_quitRequested; }

    Receiver *receiver() const { return m_receiver; }
    QSettings *settings() const { return m_settings; }

    void log(const QString &text);
    QString logFileName() const;

    // One log line per message: control characters (line breaks above all)
    // are written as escapes, so no text can forge or split lines.
    static QString escapeLogText(const QString &text);

signals:
    void quitRequested();

private:
    QHostAddress lookUp(const QString &host, const QDeadlineTimer &deadline);

    Receiver *m_receiver = nullptr;
    QSettings *m_settings = nullptr;
    std::unique_ptr<LogFile> m_log;
    bool m_quitRequested = false;
};

// Sends every Qt message, of any type, to the log; the type is not written.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

} // namespace Brellow
