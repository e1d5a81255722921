#pragma once

#include <QImage>
#include <QObject>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

// Drives the real programs on an X display the way an agent would: real
// processes, real pointer clicks and key presses (xdotool), real screenshots.
// Used by the end-to-end tests and the headless demo.
namespace DesktopDriver {

// A process whose standard output is kept line by line.
class LoggedProcess : public QObject
{
    Q_OBJECT

public:
    explicit LoggedProcess(QObject *parent = nullptr);
    ~LoggedProcess() override;

    QProcess &process() { return m_process; }
    const QStringList &lines() const { return m_lines; }

    // Waits for a line matching pattern at or after line `from`; its index, or -1.
    int waitForLine(const QRegularExpression &pattern, int from = 0, int timeoutMs = 15000);
    QStringList linesMatching(const QRegularExpression &pattern, int from = 0) const;
    // Ends the process with SIGTERM and waits for it.
    bool terminate(int timeoutMs = 10000);

private:
    void readOutput();

    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
};

// Starts the practice server `program` in `sim`, listening on 127.0.0.1:port (0: a
// free one), with further arguments; the port it listens on, or 0 when it did not.
quint16 startPracticeServer(LoggedProcess &sim, const QString &program, quint16 port,
                            const QStringList &arguments);

// How the page looks in the window.
enum class Face
{
    LoggedOutCompact,
    LoggedInCompact,
    LoggedInExpanded
};

// Where an element of the real compiled-in page lies in the window, measured by
// laying the page out in this process at the window's size.
QRect elementRect(const QString &selector, Face face);

QString findWindow(const QString &className, int timeoutMs = 15000);
// Whether some client owns the X selection, as a window manager (WM_S0), a tray
// (_NET_SYSTEM_TRAY_S0) or a compositor (_NET_WM_CM_S0) does once it runs.
bool selectionOwned(const QByteArray &name);
QRect windowGeometry(const QString &windowId);
// Brellow's visible windows (the main window, its tray icon, boxes, menus).
QStringList brellowWindows();
// Brellow's main window, by its class and title; empty after timeoutMs.
QString findMainWindow(int timeoutMs = 20000);
// Brellow's environment for a run of its own in `home`: its settings and log in
// home/config, the site's file in home/site, its runtime folder home/run; none of
// the caller's Qt, display or server settings.
QProcessEnvironment brellowEnvironment(const QString &home);
// Waits until the window shows the page's face rather than an empty or loading one.
bool waitForFace(const QRect &window, int timeoutMs = 30000);
// Types the user name and password into the logged-out page of the window at
// `window` and clicks Login.
void typeLogin(const QRect &window, const QString &username, const QString &password);
// Polls until the window has the given size; the geometry then, or a null rect.
QRect waitForWindowSize(const QString &windowId, const QSize &size, int timeoutMs);

void click(const QPoint &globalPos);
void type(const QString &text);
QImage grab(const QRect &globalArea);

} // namespace DesktopDriver
