#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVariantMap>

#include <functional>

class QTimer;
class QWebEnginePage;
class UWebView;

// Brellow's only window: a small frameless tool window that stays on top, whose
// whole face is the embedded page. It follows the login session, shows the
// agent's figures and the current call, and grows and shrinks with the call.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum LoginState
    {
        LoggedOut = 0,
        LoggingIn = 1,
        LoggedIn = 2
    };
    enum ViewMode
    {
        CompactMode = 0,
        ExpandedMode = 1,
        MediaMode = 2
    };

    static constexpr int WindowWidth = 364;
    static constexpr int CompactHeight = 90;
    static constexpr int ExpandedHeight = 268;
    static constexpr int PingIntervalMs = 10000;
    static constexpr int LoginTimeoutMs = 5000;
    static constexpr int CallEndMs = 10000;
    static constexpr int FeedbackMs = 2000;

    static constexpr int CornerRadius = 6;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    // Shows the window in front, also when it was hidden to the tray.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onLoggedIn();
    void onLoggedOut();
    void onUpdateStat(QVariantMap data);
    void onUpdateLive(QVariantMap data);
    void onAckNoTransfer();
    void onAckNoTransferTimerFire();
    void onAckPing();
    void onMediaErrorTimerFire();
    void onSurveySentTimerFire();
    void onLoginTimeout();
    void onPingTimerFire();
    void onCallEndTimeout();
    void frameLoaded(bool ok);
    void browserClick(QUrl url);
    void onTrayIconClick(QSystemTrayIcon::ActivationReason reason);
    void onExit();

private:
    friend class MainWindowTester;

    // Page bridge: each operation acts on the first element matching the selector,
    // does nothing before the page has loaded, and runs in call order.
    void setElementText(const QString &selector, const QString &text);
    void hideElement(const QString &selector);
    void showElement(const QString &selector);
    void clearOptions(const QString &selector);
    void addOption(const QString &selector, const QString &text, const QString &value);
    void setElementValue(const QString &selector, const QString &value);
    void setElementAttribute(const QString &selector, const QString &name, const QString &value);
    void removeElementAttribute(const QString &selector, const QString &name);
    void addElementClass(const QString &selector, const QString &name);
    void removeElementClass(const QString &selector, const QString &name);
    // Reads the values of several elements at once. The page answers later: the
    // callback must look at the window's state as it is then. Missing elements and
    // an unloaded page read as empty text.
    void elementValues(const QStringList &selectors,
                       std::function<void(const QStringList &values)> done);
    static QString escapeScriptText(const QString &text);
    void runOnElement(const QString &selector, const QString &body);

    // Page commands.
    void loginCommand();
    void addCommand();
    void surveyCommand();

    void setViewMode(int mode, bool placeFromSettings);
    // Without a compositor, cuts the window to the page's rounded box.
    void updateShape();
    void showMediaError(const QString &text);
    void showCritical(const QString &text);

    UWebView *webView = nullptr;
    QWebEnginePage *mainFrame = nullptr;
    QTimer *pingTimer = nullptr;
    QTimer *loginTimer = nullptr;
    QTimer *callEndTimer = nullptr;
    int loginState = LoggedOut;
    QSystemTrayIcon *trayIcon = nullptr;
    bool pageLoaded = false;
    int viewMode = CompactMode;
    // No compositor shows the transparent corners: the window is cut to the box.
    bool cutCorners = false;
};
