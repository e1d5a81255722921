#include <ui/mainwindow.h>

#include <app/application.h>
#include <app/settingstable.h>
#include <app/translations.h>
#include <net/messages.h>
#include <net/receiver.h>
#include <net/sessionkeeper.h>
#include <ui/activewindowwatch.h>
#include <ui/brellowpage.h>
#include <ui/pageaccessibility.h>
#include <ui/pagebridge.h>
#include <ui/pagekeys.h>
#include <ui/pagetexts.h>
#include <ui/placement.h>
#include <ui/savedgeometry.h>
#include <ui/screenlayout.h>
#include <ui/screenwatcher.h>
#include <ui/uwebview.h>
#include <ui/windowshape.h>
#include <ui/x11desktop.h>

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QTimer>

#include <cmath>
#include <limits>

namespace Brellow {

namespace {

constexpr int BarCount = 5;
const char *const LoginFailedText = QT_TRANSLATE_NOOP(
    "Brellow::MainWindow", "Please check your username and password and try again.");
const char *const ServerSilentText = QT_TRANSLATE_NOOP(
    "Brellow::MainWindow", "The server does not answer. Please try again in a moment.");
// A figure's cell when it holds no figure: the page's own empty value.
const QString EmptyFigure = QStringLiteral("\u00a0");
constexpr const char *FigureIds[] = {"#user_surveys", "#average_score", "#team_position",
                                     "#team_surveys"};
constexpr const char *FormIds[] = {"#cli", "#email", "#title", "#fname", "#sname", "#reason"};

// The score as a whole percentage: narrowed to single precision first, then
// scaled and rounded half up, so 0.755 shows 75 and 0.745 shows 75. A value too
// large to show (infinity from a huge number) counts as unconvertible: 0.
qint64 percent(const QVariant &score)
{
    const float fraction = score.toFloat();
    const double x = static_cast<double>(fraction) * 100.0;
    const double rounded = std::floor(x + 0.5);
    if (!std::isfinite(rounded) || std::fabs(rounded) >= 9.0e18)
        return 0;
    return static_cast<qint64>(rounded);
}

QString number(const QVariant &value)
{
    return QStringLiteral("%1").arg(qint64(value.toInt()));
}

QTimer *makeTimer(QObject *parent, const char *name, int intervalMs, bool singleShot)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    timer->setSingleShot(singleShot);
    return timer;
}

} // namespace

MainWindow::MainWindow(QWidget *parent, const WindowTimings &timings)
    : QMainWindow(parent), m_timings(timings)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::CustomizeWindowHint);

    const QIcon icon(QStringLiteral(":/agent.png"));
    setWindowIcon(icon);

    m_trayIcon = new QSystemTrayIcon(icon, this);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayIconClick);

    auto *exitAction = new QAction(tr("Exit"), m_trayIcon);
    connect(exitAction, &QAction::triggered, this, &MainWindow::onExit);
    // The menu lives as long as the program; the tray icon does not own it.
    auto *menu = new QMenu(this);
    menu->addAction(exitAction);
    m_trayIcon->setContextMenu(menu);
    m_trayIcon->setVisible(true);

    m_webView = new UWebView;
    m_webView->setAttribute(Qt::WA_TranslucentBackground, true);
    m_webView->setAttribute(Qt::WA_OpaquePaintEvent, false);
    // With the page's transparent body only its rounded boxes are painted.
    m_webView->page()->setBackgroundColor(Qt::transparent);
    m_bridge = new PageBridge(m_webView->page(), this);
    m_keys = new PageKeys(m_webView, m_bridge);
    connect(m_keys, &PageKeys::escapePressed, this, &MainWindow::handBackFocus);
    m_activeWindows = new ActiveWindowWatch(this);

    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCentralWidget(m_webView);

    setWindowTitle(QStringLiteral("Brellow"));
    // The native window must exist before the first show, so that the desktop
    // hints are in place when the window manager first sees it.
    winId();

    setViewMode(ViewMode::Compact, true);

    // A window whose screen went away or shrank comes back onto a screen; the
    // agent's place is kept otherwise.
    auto *screens = new ScreenWatcher(this);
    connect(screens, &ScreenWatcher::changed, this,
            [this](const ScreenLayout &before, const ScreenLayout &after) {
                if (const auto to = ScreenLayout::afterChange(geometry(), before, after))
                    move(*to);
            });

    m_webView->setUrl(BrellowPage::homeUrl());
    m_webView->setContextMenuPolicy(Qt::NoContextMenu);

    connect(m_bridge, &PageBridge::ready, this, &MainWindow::frameLoaded);
    connect(m_webView, &UWebView::linkClicked, this, &MainWindow::browserClick);

    Receiver *receiver = Application::instance()->receiver();
    // Before the window's own connections: it sees the session's state first.
    m_keeper = new SessionKeeper(receiver, this);
    connect(m_keeper, &SessionKeeper::loginSent, this, [this](const QString &user, int repeat) {
        note(repeat == 0
                 ? QStringLiteral("login sent for user %1").arg(user)
                 : QStringLiteral("login sent again for user %1 (no answer yet)").arg(user));
    });
    connect(m_keeper, &SessionKeeper::resumeAttempt, this, [this](int attempt, int waitMs) {
        note(QStringLiteral("resume attempt %1 (the next in %2 s without an answer)")
                 .arg(attempt)
                 .arg(waitMs / 1000.0, 0, 'f', 1));
    });
    connect(m_keeper, &SessionKeeper::resumeAttemptFailed, this, [this](int attempt, bool heard) {
        note(QStringLiteral("resume attempt %1: no session (%2)")
                 .arg(attempt)
                 .arg(heard ? QStringLiteral("the server answers")
                            : QStringLiteral("the server is silent")));
    });
    connect(m_keeper, &SessionKeeper::resumed, this, &MainWindow::onResumed);
    connect(m_keeper, &SessionKeeper::resumeStopped, this,
            [this](SessionKeeper::Stop why) { onResumeStopped(int(why)); });
    connect(receiver, &Receiver::loggedIn, this, &MainWindow::onLoggedIn);
    connect(receiver, &Receiver::loginRefused, this, &MainWindow::onLoginRefused);
    connect(receiver, &Receiver::testAnswered, this, &MainWindow::onTestAnswered);
    connect(receiver, &Receiver::loggedOut, this, &MainWindow::onLoggedOut);
    connect(receiver, &Receiver::updateStat, this, &MainWindow::onUpdateStat);
    connect(receiver, &Receiver::updateLive, this, &MainWindow::onUpdateLive);
    connect(receiver, &Receiver::ackNoTransfer, this, &MainWindow::onAckNoTransfer);
    connect(receiver, &Receiver::datagramReceived, this, &MainWindow::onDatagramReceived);

    m_pingTimer = makeTimer(this, "pingTimer", m_timings.pingIntervalMs, false);
    connect(m_pingTimer, &QTimer::timeout, this, &MainWindow::onPingTimerFire);
    m_loginTimer = makeTimer(this, "loginTimer", m_timings.loginTimeoutMs, true);
    connect(m_loginTimer, &QTimer::timeout, this, &MainWindow::onLoginTimeout);
    m_callEndTimer = makeTimer(this, "callEndTimer", m_timings.callEndMs, true);
    connect(m_callEndTimer, &QTimer::timeout, this, &MainWindow::onCallEndTimeout);
}

MainWindow::~MainWindow()
{
    setViewMode(ViewMode::Compact, false);

    QSettings *settings = Application::instance()->settings();
    settings->setValue(SettingsTable::key(Setting::MainWindowGeometry), saveGeometry());
    settings->sync();
    if (settings->status() != QSettings::NoError)
        note(QStringLiteral("cannot write the settings %1").arg(settings->fileName()));

    Receiver *receiver = Application::instance()->receiver();
    if (receiver->isLoggedIn()) {
        note(QStringLiteral("logout at exit"));
        receiver->logout();
    }
    m_keeper->forget();

    // Page reads still on their way must find the window gone, not half destroyed.
    m_bridge->detach();
    delete m_webView;
}

// Shell.

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        setVisible(false);
        return;
    }
    // Without a tray a hidden window could never come back: closing leaves
    // Brellow the way "Exit" does.
    onExit();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    // The window manager forgets these states whenever the window is hidden, and
    // may reset them when it takes the window on, so they are asked for both
    // before the window is mapped (now) and after (from the event loop).
    X11Desktop::setStatesBeforeMap(winId());
    QTimer::singleShot(0, this, [this] { X11Desktop::requestStates(winId()); });
    // Asked here rather than at every resize: a resize must not wait on the X server.
    m_cutCorners = X11Desktop::isActive() && !X11Desktop::compositorRunning(winId());
    updateShape();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateShape();
}

void MainWindow::updateShape()
{
    if (m_cutCorners)
        setMask(WindowShape::roundedBox(size(), CornerRadius));
    else if (!mask().isEmpty())
        clearMask();
}

void MainWindow::bringToFront()
{
    setVisible(true);
    raise();
    activateWindow();
    m_webView->setFocus(Qt::OtherFocusReason);
    m_keys->focusFirstField([this](const QString &field) {
        note(field.isEmpty() ? QStringLiteral("brought to the front, nothing to type into")
                             : QStringLiteral("brought to the front, typing goes to #%1").arg(field));
    });
}

void MainWindow::handBackFocus()
{
    if (!m_activeWindows->handBack())
        note(QStringLiteral("Escape: no other window to give the keyboard back to"));
}

void MainWindow::onTrayIconClick(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        bringToFront();
}

void MainWindow::onExit()
{
    Application::instance()->requestQuit();
}

QMessageBox *MainWindow::showCritical(const QString &text)
{
    // Opened, not run: this is called from the page's answers and from timers, and
    // a nested event loop there would hold up everything the engine delivers.
    auto *box = new QMessageBox(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The agent may be typing elsewhere: a box Brellow opens on its own must not
    // take the keyboard.
    if (!isActiveWindow()) {
        box->setAttribute(Qt::WA_ShowWithoutActivating);
        box->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    }
    box->open();
    return box;
}

// Page commands.

void MainWindow::browserClick(QUrl url)
{
    const QString command = url.fragment();
    if (command == QLatin1String("login")) {
        loginCommand();
    } else if (command == QLatin1String("add")) {
        addCommand();
    } else if (command == QLatin1String("expand")) {
        setViewMode(ViewMode::Expanded, false);
    } else if (command == QLatin1String("collapse")) {
        setViewMode(ViewMode::Compact, false);
    } else if (command == QLatin1String("media")) {
        setViewMode(m_viewMode == ViewMode::Media ? ViewMode::Compact : ViewMode::Media, false);
    } else if (command == QLatin1String("survey")) {
        surveyCommand();
    }
}

void MainWindow::loginCommand()
{
    if (m_loginState == LoginState::LoggingIn)
        return;
    if (m_loginState == LoginState::LoggedIn || m_loginState == LoginState::Resuming) {
        note(m_loginState == LoginState::Resuming
                 ? QStringLiteral("logout asked by the agent; resuming stopped")
                 : QStringLiteral("logout asked by the agent"));
        m_keeper->forget();
        Application::instance()->receiver()->logout();
        endSession();
        m_leftByAgent = true;
        return;
    }

    const QStringList fields = {QStringLiteral("#username"), QStringLiteral("#password")};
    m_bridge->elementValues(fields, [this](const QStringList &values) {
        // Decided when the page answers: a second click read meanwhile finds the
        // first one's login under way and is ignored.
        if (m_loginState != LoginState::LoggedOut)
            return;
        const QString &username = values.at(0);
        const QString &password = values.at(1);
        if (username.isEmpty() || password.isEmpty()) {
            showCritical(tr("Please enter your username and password and try again."));
            return;
        }
        Application::instance()->settings()->setValue(SettingsTable::key(Setting::LoginUsername),
                                                      username);
        m_loginState = LoginState::LoggingIn;
        m_leftByAgent = false;
        m_bridge->setElementText(QStringLiteral("#login_button"),
                                 PageTexts::text(PageTexts::Text::LoggingIn));
        m_bridge->setElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"),
                                      QStringLiteral("true"));
        m_bridge->setElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"),
                                      QStringLiteral("true"));
        m_loginTimer->start();
        m_keeper->logIn(username, password);
    });
}

void MainWindow::addCommand()
{
    m_bridge->elementValues({QStringLiteral("#no_transfer")}, [](const QStringList &values) {
        if (!values.at(0).isEmpty())
            Application::instance()->receiver()->noTransfer(values.at(0));
    });
}

void MainWindow::surveyCommand()
{
    m_bridge->setElementText(QStringLiteral("#error_text"),
                             PageTexts::text(PageTexts::Text::SurveySent));
    m_bridge->showElement(QStringLiteral("#error_panel"));
    m_panelShowsStatus = false;
    QTimer::singleShot(m_timings.feedbackMs, this,
                       [this, calls = m_callsStarted] { onSurveySentTimerFire(calls); });
}

// View modes and placement.

void MainWindow::setViewMode(ViewMode mode, bool placeFromSettings)
{
    const ScreenLayout screens = ScreenLayout::current();
    QPoint position = pos();
    QSize from = size();
    if (placeFromSettings) {
        const QSettings *settings = Application::instance()->settings();
        const QString key = SettingsTable::key(Setting::MainWindowGeometry);
        std::optional<QRect> saved;
        if (settings->contains(key))
            saved = SavedGeometry::windowRect(settings->value(key).toByteArray());
        // A window comes back compact, whatever size it was saved at.
        from = QSize(WindowWidth, CompactHeight);
        if (saved)
            saved->setSize(from);
        position = screens.restoredPosition(saved);
    }
    // The window's own screen: the one that holds most of it.
    const int own = screens.screenOf(QRect(position, from));
    // Without any screen (none plugged in for a moment) nothing bounds the window.
    const int limit = own < 0 ? std::numeric_limits<int>::max() / 2
                              : ScreenLayout::limit(screens.screens().at(own));

    const bool loggedIn = m_loginState == LoginState::LoggedIn;
    int newHeight = ExpandedHeight;
    switch (mode) {
    case ViewMode::Expanded:
    case ViewMode::Media:
        if (m_viewMode == mode)
            return;
        if (m_bridge->isReady()) {
            if (loggedIn) {
                m_bridge->showElement(QStringLiteral("#button_collapse"));
                m_bridge->hideElement(QStringLiteral("#button_expand"));
            }
            m_bridge->removeElementClass(QStringLiteral("#container"),
                                         QStringLiteral("container-collapsed"));
            if (mode == ViewMode::Expanded) {
                m_bridge->hideElement(QStringLiteral("#media_box"));
                m_bridge->showElement(QStringLiteral("#main_box"));
                m_bridge->setElementText(QStringLiteral("#media_button"),
                                         PageTexts::text(PageTexts::Text::Email));
            } else {
                m_bridge->hideElement(QStringLiteral("#main_box"));
                m_bridge->showElement(QStringLiteral("#media_box"));
                m_bridge->setElementText(QStringLiteral("#media_button"),
                                         PageTexts::text(PageTexts::Text::Main));
            }
            m_viewMode = mode;
        }
        break;
    case ViewMode::Compact:
        if (m_viewMode == ViewMode::Compact && !placeFromSettings)
            return;
        if (m_bridge->isReady()) {
            if (loggedIn) {
                m_bridge->showElement(QStringLiteral("#button_expand"));
                m_bridge->hideElement(QStringLiteral("#button_collapse"));
            }
            m_bridge->addElementClass(QStringLiteral("#container"),
                                      QStringLiteral("container-collapsed"));
            m_bridge->hideElement(QStringLiteral("#media_box"));
            m_bridge->showElement(QStringLiteral("#main_box"));
            m_bridge->setElementText(QStringLiteral("#media_button"),
                                     PageTexts::text(PageTexts::Text::Email));
            m_viewMode = ViewMode::Compact;
        }
        newHeight = CompactHeight;
        break;
    }

    const bool collapsing = newHeight == CompactHeight && !placeFromSettings;
    position.setY(Placement::settleY(position.y(), height(), newHeight, limit, collapsing));
    // Size and place in one request: a resize followed by a move shows the grown
    // window at its old place for a moment, hanging below the screen's edge.
    setMinimumSize(WindowWidth, qMin(height(), newHeight));
    setMaximumSize(WindowWidth, qMax(height(), newHeight));
    setGeometry(QRect(position, QSize(WindowWidth, newHeight)));
    setFixedSize(WindowWidth, newHeight);
    setVisible(true);
    raise();
}

// Login session.

void MainWindow::frameLoaded()
{
    PageTexts::apply(m_bridge, Translations::installed());
    const QString name = Application::instance()
                             ->settings()
                             ->value(SettingsTable::key(Setting::LoginUsername))
                             .toString();
    m_bridge->setElementValue(QStringLiteral("#username"), name);
}

void MainWindow::note(const QString &text) const
{
    Application::instance()->log(text);
}

void MainWindow::onLoggedIn()
{
    if (m_loginState == LoginState::LoggedIn)
        return;
    if (m_leftByAgent) {
        // A late or doubled confirmation of the session the agent just left: the
        // agent stays logged out, and so does the server.
        note(QStringLiteral("a login confirmed after the agent's logout: logged out again"));
        Application::instance()->receiver()->logout();
        return;
    }
    const bool resumed = m_loginState == LoginState::Resuming;
    m_loginState = LoginState::LoggedIn;
    if (!resumed)
        note(QStringLiteral("login accepted for user %1").arg(m_keeper->username()));

    m_bridge->hideElement(QStringLiteral("#login_panel"));
    m_bridge->showElement(QStringLiteral("#top_panel1"));
    m_bridge->showElement(QStringLiteral("#top_panel2"));
    m_bridge->setElementText(QStringLiteral("#login_button"),
                             PageTexts::text(PageTexts::Text::Logout));
    m_bridge->removeElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"));
    m_bridge->removeElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"));
    if (!resumed || m_viewMode == ViewMode::Compact)
        m_bridge->showElement(QStringLiteral("#button_expand"));

    const QString reason = QStringLiteral("#reason");
    m_bridge->clearOptions(reason);
    m_bridge->addOption(reason, PageTexts::text(PageTexts::Text::CallReason), QString());
    // An entry needs a value and a text; anything shorter is skipped, since an
    // option with an empty value could not be told from "Call Reason...".
    const QVariantList links = Application::instance()->receiver()->mediaLinks();
    for (const QVariant &link : links) {
        const QVariantList entry = Messages::toList(link);
        if (entry.size() < 2)
            continue;
        m_bridge->addOption(reason, entry.at(1).toString(), entry.at(0).toString());
    }

    // The box of an attempt that timed out would now contradict the window.
    if (m_loginFailedBox)
        m_loginFailedBox->close();

    setConnectionLost(false);
    showStatus();
    updateStaleMarks();
    m_pingTimer->start();
    m_loginTimer->stop();
}

void MainWindow::onLoggedOut()
{
    // While resuming, the session keeper decides how the attempt ends.
    if (m_loginState == LoginState::LoggedOut || m_loginState == LoginState::Resuming)
        return;
    Receiver *receiver = Application::instance()->receiver();
    // While logging in, an end that ends no session of ours (the answer to the
    // logout that went just before, or one doubled on the way) says nothing about
    // the login under way.
    if (m_loginState == LoginState::LoggingIn &&
        receiver->lastSessionEnd() != Receiver::SessionEnd::ByServer)
        return;
    if (m_loginState == LoginState::LoggedIn &&
        receiver->lastSessionEnd() == Receiver::SessionEnd::ByServer) {
        note(QStringLiteral("session ended by the server"));
        if (m_keeper->startResuming()) {
            enterResuming();
            emit agentNotice(AgentNotice(AgentNotice::Kind::SessionEndedResuming));
            return;
        }
        emit agentNotice(AgentNotice(AgentNotice::Kind::SessionEnded));
    }
    m_keeper->forget();
    endSession();
}

void MainWindow::endSession()
{
    m_loginState = LoginState::LoggedOut;

    m_bridge->showElement(QStringLiteral("#login_panel"));
    m_bridge->hideElement(QStringLiteral("#top_panel1"));
    m_bridge->hideElement(QStringLiteral("#top_panel2"));
    m_bridge->addElementClass(QStringLiteral("#container"), QStringLiteral("container-collapsed"));
    m_bridge->setElementText(QStringLiteral("#login_button"),
                             PageTexts::text(PageTexts::Text::Login));
    setViewMode(ViewMode::Compact, false);
    m_bridge->hideElement(QStringLiteral("#button_expand"));
    m_bridge->hideElement(QStringLiteral("#button_collapse"));
    m_bridge->setElementValue(QStringLiteral("#password"), QString());
    m_bridge->hideElement(QStringLiteral("#media_button"));
    clearAgentData();

    m_figuresStale = false;
    setConnectionLost(false);
    showStatus();
    updateStaleMarks();
    m_pingTimer->stop();
    m_callEndTimer->stop();
}

void MainWindow::clearAgentData()
{
    // Workstations are shared: the next agent must not see this one's figures,
    // call or customer.
    for (const char *figure : FigureIds)
        m_bridge->setElementText(QLatin1String(figure), EmptyFigure);
    for (int i = 1; i <= BarCount; ++i) {
        const QString bar = QStringLiteral("#call_bar_%1").arg(i);
        m_bridge->setElementText(bar, QString());
        PageAccessibility::describeBar(*m_bridge, i, QString());
        m_bridge->hideElement(bar);
    }
    m_bridge->hideElement(QStringLiteral("#call_check"));
    m_bridge->hideElement(QStringLiteral("#call_cross"));
    m_bridge->setElementText(QStringLiteral("#call_score"), QString());
    for (const char *field : FormIds)
        m_bridge->setElementValue(QLatin1String(field), QString());
    m_bridge->setElementValue(QStringLiteral("#no_transfer"), QString());
}

void MainWindow::enterResuming()
{
    m_loginState = LoginState::Resuming;
    note(QStringLiteral("resuming the session of user %1 (for up to %2 min)")
             .arg(m_keeper->username())
             .arg(m_keeper->resumeLimitMs() / 60000.0, 0, 'g', 4));
    m_figuresStale = true;
    m_pingTimer->stop();
    m_unansweredPings = 0;
    showStatus();
    updateStaleMarks();
}

void MainWindow::onResumed(int attempts)
{
    note(QStringLiteral("session resumed for user %1 after %2 attempt(s)")
             .arg(m_keeper->username())
             .arg(attempts));
    emit agentNotice(AgentNotice(AgentNotice::Kind::SessionResumed));
}

void MainWindow::onResumeStopped(int why)
{
    if (m_loginState != LoginState::Resuming)
        return;
    const bool refused = SessionKeeper::Stop(why) == SessionKeeper::Stop::Refused;
    note(refused ? QStringLiteral("resume stopped: the server refused the login")
                 : QStringLiteral("resume stopped: the server did not take the session back "
                                  "in time"));
    endSession();
    emit agentNotice(AgentNotice(AgentNotice::Kind::SessionEnded));
    if (refused)
        showCritical(tr(LoginFailedText));
}

void MainWindow::onLoginRefused()
{
    if (m_loginState != LoginState::LoggingIn)
        return;
    // Said at once: there is nothing to wait for.
    note(QStringLiteral("login refused for user %1").arg(m_keeper->username()));
    m_loginTimer->stop();
    m_loginState = LoginState::LoggedOut;
    m_bridge->setElementText(QStringLiteral("#login_button"),
                             PageTexts::text(PageTexts::Text::Login));
    m_bridge->removeElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"));
    m_bridge->removeElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"));
    m_bridge->setElementValue(QStringLiteral("#username"), QString());
    m_bridge->setElementValue(QStringLiteral("#password"), QString());
    m_loginFailedBox = showCritical(tr(LoginFailedText));
}

void MainWindow::onLoginTimeout()
{
    // Nothing at all from the server since the login: the network's fault or the
    // server's, not the agent's password.
    const bool serverHeard = m_keeper->heardSinceLogin();
    if (m_loginState == LoginState::LoggingIn)
        note(serverHeard ? QStringLiteral("login timed out: the server answers, the login was "
                                          "not confirmed")
                         : QStringLiteral("login timed out: the server does not answer"));
    m_keeper->loginTimedOut();
    m_loginState = LoginState::LoggedOut;
    m_bridge->setElementText(QStringLiteral("#login_button"),
                             PageTexts::text(PageTexts::Text::Login));
    m_bridge->removeElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"));
    m_bridge->removeElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"));
    if (serverHeard)
        m_bridge->setElementValue(QStringLiteral("#username"), QString());
    m_bridge->setElementValue(QStringLiteral("#password"), QString());

    if (Application::instance()->receiver()->isLoggedIn())
        return;
    m_loginFailedBox = showCritical(serverHeard ? tr(LoginFailedText) : tr(ServerSilentText));
}

void MainWindow::onPingTimerFire()
{
    // Each ping has had one interval to be answered by the time the next is due.
    if (m_unansweredPings >= LostAfterUnansweredPings) {
        setConnectionLost(true);
        // Is the server gone, or only our session? A server that forgot the
        // session without saying so still answers a "test".
        m_keeper->probe();
    }
    Receiver *receiver = Application::instance()->receiver();
    if (receiver->isLoggedIn())
        ++m_unansweredPings;
    receiver->ping();
}

// Connection watch. The server answers every ping, so a run of pings without a
// datagram back means the figures on show are no longer being kept up to date.
// Whatever comes next from the server, an answer or not, ends the run.

void MainWindow::onDatagramReceived()
{
    setConnectionLost(false);
}

void MainWindow::onTestAnswered()
{
    if (m_loginState != LoginState::LoggedIn || !m_connectionLost)
        return;
    // The server is there but no longer answers for our session.
    note(QStringLiteral("the server answers, but not for this session"));
    Application::instance()->receiver()->dropSession();
    if (m_keeper->startResuming()) {
        enterResuming();
        emit agentNotice(AgentNotice(AgentNotice::Kind::SessionEndedResuming));
        return;
    }
    m_keeper->forget();
    endSession();
    emit agentNotice(AgentNotice(AgentNotice::Kind::SessionEnded));
}

void MainWindow::setConnectionLost(bool lost)
{
    if (!lost)
        m_unansweredPings = 0;
    if (m_connectionLost == lost)
        return;
    m_connectionLost = lost;
    if (m_loginState == LoginState::LoggedIn) {
        note(lost ? QStringLiteral("connection lost: %1 pings unanswered")
                        .arg(LostAfterUnansweredPings)
                  : QStringLiteral("connection back"));
        emit agentNotice(AgentNotice(lost ? AgentNotice::Kind::ConnectionLost
                                          : AgentNotice::Kind::ConnectionBack));
    }
    updateStaleMarks();
    showStatus();
}

void MainWindow::updateStaleMarks()
{
    const bool stale = m_loginState != LoginState::LoggedOut &&
                       (m_connectionLost || m_figuresStale || m_loginState == LoginState::Resuming);
    for (const char *panel : {"#top_panel1", "#top_panel2"}) {
        if (stale)
            m_bridge->addElementClass(QLatin1String(panel), QStringLiteral("stale"));
        else
            m_bridge->removeElementClass(QLatin1String(panel), QStringLiteral("stale"));
    }
}

QString MainWindow::statusText() const
{
    if (m_loginState == LoginState::Resuming)
        return PageTexts::text(PageTexts::Text::Reconnecting);
    if (m_loginState == LoginState::LoggedIn && m_connectionLost)
        return PageTexts::text(PageTexts::Text::ConnectionLost);
    return {};
}

void MainWindow::showStatus()
{
    const QString text = statusText();
    if (!text.isEmpty()) {
        m_bridge->setElementText(QStringLiteral("#error_text"), text);
        m_bridge->showElement(QStringLiteral("#error_panel"));
        m_panelShowsStatus = true;
    } else if (m_panelShowsStatus) {
        // A transient message on show instead keeps its own time.
        m_bridge->hideElement(QStringLiteral("#error_panel"));
        m_panelShowsStatus = false;
    }
}

// Forms and acknowledgements. Each piece of feedback schedules its own
// single-shot; none is kept or cancelled.

void MainWindow::onAckNoTransfer()
{
    m_bridge->setElementValue(QStringLiteral("#no_transfer"), QString());
    m_bridge->setElementAttribute(QStringLiteral("#no_transfer"), QStringLiteral("placeholder"),
                                  PageTexts::text(PageTexts::Text::MessageSent));
    QTimer::singleShot(m_timings.feedbackMs, this, &MainWindow::onAckNoTransferTimerFire);
    m_callEndTimer->start();
}

void MainWindow::onAckNoTransferTimerFire()
{
    m_bridge->setElementAttribute(QStringLiteral("#no_transfer"), QStringLiteral("placeholder"),
                                  PageTexts::text(PageTexts::Text::NoTransferReason));
}

void MainWindow::onSurveySentTimerFire(quint64 callsAtClick)
{
    // A call that started since the click has filled the form and expanded the
    // window for itself: only the feedback goes.
    const bool sameCall = callsAtClick == m_callsStarted;
    if (sameCall) {
        for (const char *field : FormIds)
            m_bridge->setElementValue(QLatin1String(field), QString());
    }
    endPanelFeedback();
    if (sameCall)
        setViewMode(ViewMode::Compact, false);
}

void MainWindow::endPanelFeedback()
{
    // The panel goes back to its standing text, or away when there is none.
    m_panelShowsStatus = true;
    showStatus();
}

void MainWindow::showMediaError(const QString &text)
{
    m_bridge->setElementText(QStringLiteral("#error_text"), text);
    m_bridge->showElement(QStringLiteral("#error_panel"));
    m_panelShowsStatus = false;
    QTimer::singleShot(m_timings.feedbackMs, this, &MainWindow::onMediaErrorTimerFire);
}

void MainWindow::onMediaErrorTimerFire()
{
    endPanelFeedback();
}

// Statistics panel.

void MainWindow::onUpdateStat(QVariantMap data)
{
    // Figures for a session this window does not hold are nobody's to show.
    if (m_loginState != LoginState::LoggedIn)
        return;
    if (m_figuresStale) {
        m_figuresStale = false;
        updateStaleMarks();
    }
    m_bridge->setElementText(QStringLiteral("#user_surveys"),
                             number(data.value(QStringLiteral("user_surveys"))));
    m_bridge->setElementText(
        QStringLiteral("#average_score"),
        QStringLiteral("%1%").arg(percent(data.value(QStringLiteral("average_score")))));
    m_bridge->setElementText(QStringLiteral("#team_position"),
                             number(data.value(QStringLiteral("team_position"))));
    m_bridge->setElementText(QStringLiteral("#team_surveys"),
                             number(data.value(QStringLiteral("team_surveys"))));
}

// Live call panel.

void MainWindow::onUpdateLive(QVariantMap data)
{
    if (m_loginState != LoginState::LoggedIn)
        return;
    if (m_viewMode != ViewMode::Media)
        setViewMode(ViewMode::Expanded, false);

    // Bars 1..q show the first q answers, the rest are hidden. The page has five
    // bars, so counting past five would change nothing: stop there. A bar whose
    // answer has not arrived yet shows empty.
    const QVariantList answers = Messages::toList(data.value(QStringLiteral("call_answers")));
    const int question = data.value(QStringLiteral("call_question")).toInt();
    for (int i = 1; i <= BarCount; ++i) {
        const QString bar = QStringLiteral("#call_bar_%1").arg(i);
        if (i <= question) {
            const QString answer = i - 1 < answers.size() ? answers.at(i - 1).toString() : QString();
            m_bridge->showElement(bar);
            m_bridge->setElementText(bar, answer);
            PageAccessibility::describeBar(*m_bridge, i, answer);
        } else {
            m_bridge->hideElement(bar);
        }
    }

    // Absent and null both mean the outcome is still open; anything else, a
    // numeric 0 included, is an outcome.
    const QVariant completed = data.value(QStringLiteral("call_completed"));
    const bool known = !completed.isNull();
    if (known && completed.toBool())
        m_bridge->showElement(QStringLiteral("#call_check"));
    else
        m_bridge->hideElement(QStringLiteral("#call_check"));
    if (known && !completed.toBool())
        m_bridge->showElement(QStringLiteral("#call_cross"));
    else
        m_bridge->hideElement(QStringLiteral("#call_cross"));

    if (known) {
        const QString score = data.value(QStringLiteral("call_score")).toString();
        m_bridge->setElementText(QStringLiteral("#call_score"), score);
        m_callEndTimer->start();
        emit agentNotice(AgentNotice(completed.toBool() ? AgentNotice::Kind::CallCompleted
                                                        : AgentNotice::Kind::CallNotCompleted,
                                     score));
    } else {
        m_bridge->setElementText(QStringLiteral("#call_score"), QString());
        m_callEndTimer->stop();
    }

    if (data.value(QStringLiteral("call_started")).toBool()) {
        ++m_callsStarted;
        emit agentNotice(AgentNotice(AgentNotice::Kind::CallStarted));
        m_bridge->setElementValue(QStringLiteral("#cli"),
                                  data.value(QStringLiteral("call_cli")).toString());
        for (const char *field : {"#email", "#title", "#fname", "#sname", "#reason"})
            m_bridge->setElementValue(QLatin1String(field), QString());
    }
}

void MainWindow::onCallEndTimeout()
{
    if (m_viewMode != ViewMode::Media)
        setViewMode(ViewMode::Compact, false);
}

} // namespace Brellow
