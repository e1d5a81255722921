#include "mainwindow.h"

#include "application.h"
#include "receiver.h"

#include <QSettings>
#include <QTimer>

void MainWindow::browserClick(QUrl url)
{
    const QString command = url.fragment();
    if (command == QLatin1String("login")) {
        loginCommand();
    } else if (command == QLatin1String("add")) {
        addCommand();
    } else if (command == QLatin1String("expand")) {
        setViewMode(ExpandedMode, false);
    } else if (command == QLatin1String("collapse")) {
        setViewMode(CompactMode, false);
    } else if (command == QLatin1String("media")) {
        setViewMode(viewMode == MediaMode ? CompactMode : MediaMode, false);
    } else if (command == QLatin1String("survey")) {
        surveyCommand();
    }
}

void MainWindow::loginCommand()
{
    if (loginState == LoggingIn)
        return;
    if (loginState == LoggedIn) {
        Application::instance()->receiver()->logout();
        onLoggedOut();
        return;
    }

    const QStringList fields = {QStringLiteral("#username"), QStringLiteral("#password")};
    elementValues(fields, [this](const QStringList &values) {
        // Decided when the page answers: a second click read meanwhile finds the
        // first one's login under way and is ignored.
        if (loginState != LoggedOut)
            return;
        const QString &username = values.at(0);
        const QString &password = values.at(1);
        if (username.isEmpty() || password.isEmpty()) {
            showCritical(QStringLiteral("Please enter your username and password and try again."));
            return;
        }
        Application::instance()->settings()->setValue(QStringLiteral("loginUsername"), username);
        loginState = LoggingIn;
        setElementText(QStringLiteral("#login_button"), QStringLiteral("Logging in"));
        setElementAttribute(QStringLiteral("#username"), QStringLiteral("disabled"),
                            QStringLiteral("true"));
        setElementAttribute(QStringLiteral("#password"), QStringLiteral("disabled"),
                            QStringLiteral("true"));
        loginTimer->start();
        Application::instance()->receiver()->login(username, password);
    });
}

void MainWindow::addCommand()
{
    elementValues({QStringLiteral("#no_transfer")}, [](const QStringList &values) {
        if (!values.at(0).isEmpty())
            Application::instance()->receiver()->noTransfer(values.at(0));
    });
}

void MainWindow::surveyCommand()
{
    setElementText(QStringLiteral("#error_text"), QStringLiteral("Survey has been sent"));
    showElement(QStringLiteral("#error_panel"));
    QTimer::singleShot(FeedbackMs, this, &MainWindow::onSurveySentTimerFire);
}
