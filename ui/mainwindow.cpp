#include "mainwindow.h"

#include "application.h"
#include "brellowpage.h"
#include "receiver.h"
#include "uwebview.h"
#include "windowshape.h"
#include "x11desktop.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>
#include <QSettings>
#include <QShowEvent>
#include <QTimer>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::CustomizeWindowHint);

    const QIcon icon(QStringLiteral(":/agent.png"));
    setWindowIcon(icon);

    trayIcon = new QSystemTrayIcon(icon, this);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayIconClick);

    auto *exitAction = new QAction(QStringLiteral("Exit"), trayIcon);
    connect(exitAction, &QAction::triggered, this, &MainWindow::onExit);
    // The menu lives as long as the program; the tray icon does not own it.
    auto *menu = new QMenu(this);
    menu->addAction(exitAction);
    trayIcon->setContextMenu(menu);
    trayIcon->setVisible(true);

    webView = new UWebView;
    webView->setAttribute(Qt::WA_TranslucentBackground, true);
    webView->setAttribute(Qt::WA_OpaquePaintEvent, false);
    // With the page's transparent body only its rounded boxes are painted.
    webView->page()->setBackgroundColor(Qt::transparent);

    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCentralWidget(webView);

    setWindowTitle(QStringLiteral("Brellow"));
    // The native window must exist before the first show, so that the desktop
    // hints are in place when the window manager first sees it.
    winId();

    setViewMode(CompactMode, true);

    webView->setUrl(BrellowPage::homeUrl());
    webView->setContextMenuPolicy(Qt::NoContextMenu);

    connect(webView, &UWebView::loadFinished, this, &MainWindow::frameLoaded);
    connect(webView, &UWebView::linkClicked, this, &MainWindow::browserClick);

    Receiver *receiver = Application::instance()->receiver();
    connect(receiver, &Receiver::loggedIn, this, &MainWindow::onLoggedIn);
    connect(receiver, &Receiver::loggedOut, this, &MainWindow::onLoggedOut);
    connect(receiver, &Receiver::updateStat, this, &MainWindow::onUpdateStat);
    connect(receiver, &Receiver::updateLive, this, &MainWindow::onUpdateLive);
    connect(receiver, &Receiver::ackNoTransfer, this, &MainWindow::onAckNoTransfer);
    connect(receiver, &Receiver::ackPing, this, &MainWindow::onAckPing);

    pingTimer = new QTimer(this);
    pingTimer->setObjectName(QStringLiteral("pingTimer"));
    pingTimer->setInterval(PingIntervalMs);
    pingTimer->setSingleShot(false);
    connect(pingTimer, &QTimer::timeout, this, &MainWindow::onPingTimerFire);

    loginTimer = new QTimer(this);
    loginTimer->setObjectName(QStringLiteral("loginTimer"));
    loginTimer->setInterval(LoginTimeoutMs);
    loginTimer->setSingleShot(true);
    connect(loginTimer, &QTimer::timeout, this, &MainWindow::onLoginTimeout);

    callEndTimer = new QTimer(this);
    callEndTimer->setObjectName(QStringLiteral("callEndTimer"));
    callEndTimer->setInterval(CallEndMs);
    callEndTimer->setSingleShot(true);
    connect(callEndTimer, &QTimer::timeout, this, &MainWindow::onCallEndTimeout);
}

MainWindow::~MainWindow()
{
    setViewMode(CompactMode, false);

    QSettings *settings = Application::instance()->settings();
    settings->setValue(QStringLiteral("mainWindowGeometry"), saveGeometry());
    settings->sync();

    Receiver *receiver = Application::instance()->receiver();
    if (receiver->isLoggedIn())
        receiver->logout();

    // Page reads still on their way must find the window gone, not half destroyed.
    mainFrame = nullptr;
    pageLoaded = false;
    delete webView;
}

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
    cutCorners = X11Desktop::isActive() && !X11Desktop::compositorRunning(winId());
    updateShape();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateShape();
}

void MainWindow::updateShape()
{
    if (cutCorners)
        setMask(WindowShape::roundedBox(size(), CornerRadius));
    else if (!mask().isEmpty())
        clearMask();
}

void MainWindow::bringToFront()
{
    setVisible(true);
    raise();
    activateWindow();
}

void MainWindow::onTrayIconClick(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    setVisible(true);
    raise();
}

void MainWindow::onExit()
{
    QCoreApplication::quit();
}

void MainWindow::showCritical(const QString &text)
{
    QMessageBox::critical(this, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                          QMessageBox::NoButton);
}
