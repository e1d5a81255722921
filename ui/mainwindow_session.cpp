#include "mainwindow.h"

#include "application.h"
#include "messages.h"
#include "receiver.h"
#include "uwebview.h"

#include <QSettings>
#include <QTimer>

void MainWindow::frameLoaded(bool ok)
{
    if (!ok)
        return;
    mainFrame = webView->page();
    const QString name =
        Application::instance()->settings()->value(QStringLiteral("loginUsername")).toString();
    setElementValue(QStringLiteral("#username"), name);
    pageLoaded = true;
}

void MainWindow::onLoggedIn()
{
    if (loginState == LoggedIn)
        return;
    loginState = LoggedIn;

    hideElement(QStringLiteral("#login_panel"));
    showElement(QStringLiteral("#top_panel1"));
    showElement(QStringLiteral("#top_panel2"));
    setElementText(QStringLiteral("#login_button"), QStringLiteral("Logout"));
    removeElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"));
    removeElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"));
    showElement(QStringLiteral("#button_expand"));

    const QString reason = QStringLiteral("#reason");
    clearOptions(reason);
    addOption(reason, QStringLiteral("Call Reason..."), QString());
    // An entry needs a value and a text; anything shorter is skipped, since an
    // option with an empty value could not be told from "Call Reason...".
    const QVariantList links = Application::instance()->receiver()->mediaLinks();
    for (const QVariant &link : links) {
        const QVariantList entry = Messages::toList(link);
        if (entry.size() < 2)
            continue;
        addOption(reason, entry.at(1).toString(), entry.at(0).toString());
    }

    pingTimer->start();
    loginTimer->stop();
}

void MainWindow::onLoggedOut()
{
    if (loginState == LoggedOut)
        return;
    loginState = LoggedOut;

    showElement(QStringLiteral("#login_panel"));
    hideElement(QStringLiteral("#top_panel1"));
    hideElement(QStringLiteral("#top_panel2"));
    addElementClass(QStringLiteral("#container"), QStringLiteral("container-collapsed"));
    setElementText(QStringLiteral("#login_button"), QStringLiteral("Login"));
    setViewMode(CompactMode, false);
    hideElement(QStringLiteral("#button_expand"));
    hideElement(QStringLiteral("#button_collapse"));
    setElementValue(QStringLiteral("#password"), QString());
    hideElement(QStringLiteral("#media_button"));

    pingTimer->stop();
    callEndTimer->stop();
}

void MainWindow::onLoginTimeout()
{
    loginState = LoggedOut;
    setElementText(QStringLiteral("#login_button"), QStringLiteral("Login"));
    removeElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"));
    removeElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"));
    setElementValue(QStringLiteral("#username"), QString());
    setElementValue(QStringLiteral("#password"), QString());

    if (Application::instance()->receiver()->isLoggedIn())
        return;
    showCritical(QStringLiteral("Please check your username and password and try again."));
}

void MainWindow::onPingTimerFire()
{
    Application::instance()->receiver()->ping();
}

void MainWindow::onAckPing()
{
}
