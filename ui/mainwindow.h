#pragma once

#include <ui/agentnotice.h>
#include <ui/windowtimings.h>

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVariantMap>

class QMessageBox;
class QTimer;

namespace Brellow {

class ActiveWindowWatch;
class PageBridge;
class PageKeys;
class SessionKeeper;
class UWebView;

// Brellow's only window: a small frameless tool window that stays on top, whose
// whole face is the embedded page. It follows the login session, shows the
// agent's figures and the current call, and grows and shrinks with the call.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum class LoginState
    {
        LoggedOut,
        LoggingIn,
        LoggedIn,
        // The server ended the session on its own; Brellow logs in again by itself
        // and keeps the logged-in face, its figures marked stale.
        Resuming
    };
    Q_ENUM(LoginState)
    enum class ViewMode
    {
        Compact,
        Expanded,
        Media
    };
    Q_ENUM(ViewMode)

    static constexpr int WindowWidth = 364;
    static constexpr int CompactHeight = 90;
    static constexpr int ExpandedHeight = 268;
    static constexpr WindowTimings Timings{};
    // Pings in a row without a word from the server before the window calls the
    // connection lost; each ping gets one ping interval for its answer.
    static constexpr int LostAfterUnansweredPings = 3;

    static constexpr int CornerRadius = 6;

    explicit MainWindow(QWidget *parent = nullptr, const WindowTimings &timings = Timings);
    ~MainWindow() override;

    LoginState loginState() const { return m_loginState; }
    ViewMode viewMode() const { return m_viewMode; }
    PageBridge *bridge() const { return m_bridge; }
    PageKeys *pageKeys() const { return m_keys; }
    UWebView *webView() const { return m_webView; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QTimer *pingTimer() const { return m_pingTimer; }
    QTimer *loginTimer() const { return m_loginTimer; }
    QTimer *callEndTimer() const { return m_callEndTimer; }
    // The server has not been heard from for LostAfterUnansweredPings pings.
    bool isConnectionLost() const { return m_connectionLost; }
    SessionKeeper *sessionKeeper() const { return m_keeper; }

    // Switches the page and the window's size; placeFromSettings also puts the
    // window where it was left last time (or its first-start place).
    void setViewMode(ViewMode mode, bool placeFromSettings);
    // Shows `text` in the page's error panel for a moment.
    void showMediaError(const QString &text);

public slots:
    // Shows the window in front, also when it was hidden to the tray, and gives
    // it the keyboard with the field the agent needs first focused.
    void bringToFront();
    void onLoggedIn();
    void onLoggedOut();
    void onUpdateStat(QVariantMap data);
    void onUpdateLive(QVariantMap data);
    void onAckNoTransfer();
    void onLoginTimeout();
    void onPingTimerFire();
    void onCallEndTimeout();
    void browserClick(QUrl url);
    void onTrayIconClick(QSystemTrayIcon::ActivationReason reason);
    void onExit();

signals:
    // A call's start or outcome, or a change of the link to the server.
    void agentNotice(const Brellow::AgentNotice &notice);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void frameLoaded();
    void onAckNoTransferTimerFire();
    void onMediaErrorTimerFire();
    void onSurveySentTimerFire(quint64 callsAtClick);
    // Ends a piece of transient feedback in the error panel.
    void endPanelFeedback();

    // Connection watch.
    void onDatagramReceived();
    void onTestAnswered();
    void setConnectionLost(bool lost);
    // The panel's standing text: "Reconnecting…", the lost connection, or none.
    QString statusText() const;
    void showStatus();
    void updateStaleMarks();

    // Login session.
    void onLoginRefused();
    void enterResuming();
    void onResumed(int attempts);
    void onResumeStopped(int why);
    // The logged-out face, with nothing of the last agent left on it.
    void endSession();
    void clearAgentData();
    void note(const QString &text) const;

    // Page commands.
    void loginCommand();
    void addCommand();
    void surveyCommand();

    // Without a compositor, cuts the window to the page's rounded box.
    void updateShape();
    // Escape: the keyboard goes back to the program the agent came from.
    void handBackFocus();
    QMessageBox *showCritical(const QString &text);

    UWebView *m_webView = nullptr;
    PageBridge *m_bridge = nullptr;
    PageKeys *m_keys = nullptr;
    ActiveWindowWatch *m_activeWindows = nullptr;
    QTimer *m_pingTimer = nullptr;
    QTimer *m_loginTimer = nullptr;
    QTimer *m_callEndTimer = nullptr;
    LoginState m_loginState = LoginState::LoggedOut;
    QSystemTrayIcon *m_trayIcon = nullptr;
    ViewMode m_viewMode = ViewMode::Compact;
    // No compositor shows the transparent corners: the window is cut to the box.
    bool m_cutCorners = false;

    WindowTimings m_timings;
    // The box of a login that timed out; a late confirmation closes it.
    QPointer<QMessageBox> m_loginFailedBox;
    // Counts the calls started, so that a survey reset can tell whether a new
    // call has taken the form since its click.
    quint64 m_callsStarted = 0;
    int m_unansweredPings = 0;
    bool m_connectionLost = false;
    // The figures on show belong to a session that has since ended; cleared by the
    // next "update_stat".
    bool m_figuresStale = false;
    // The error panel holds the standing status text (not a transient message).
    bool m_panelShowsStatus = false;
    SessionKeeper *m_keeper = nullptr;
    // The agent logged out and has not logged in since: a confirmation that comes
    // now belongs to a session the agent left.
    bool m_leftByAgent = false;
};

} // namespace Brellow
