#include "mainwindow.h"

#include <QTimer>

// Each piece of feedback schedules its own single-shot; none is kept or cancelled.

void MainWindow::onAckNoTransfer()
{
    setElementValue(QStringLiteral("#no_transfer"), QString());
    setElementAttribute(QStringLiteral("#no_transfer"), QStringLiteral("placeholder"),
                        QStringLiteral("Your message has been sent..."));
    QTimer::singleShot(FeedbackMs, this, &MainWindow::onAckNoTransferTimerFire);
    callEndTimer->start();
}

void MainWindow::onAckNoTransferTimerFire()
{
    setElementAttribute(QStringLiteral("#no_transfer"), QStringLiteral("placeholder"),
                        QStringLiteral("No transfer reason..."));
}

void MainWindow::onSurveySentTimerFire()
{
    for (const char *field : {"#cli", "#email", "#title", "#fname", "#sname", "#reason"})
        setElementValue(QLatin1String(field), QString());
    hideElement(QStringLiteral("#error_panel"));
    setViewMode(CompactMode, false);
}

void MainWindow::showMediaError(const QString &text)
{
    setElementText(QStringLiteral("#error_text"), text);
    showElement(QStringLiteral("#error_panel"));
    QTimer::singleShot(FeedbackMs, this, &MainWindow::onMediaErrorTimerFire);
}

void MainWindow::onMediaErrorTimerFire()
{
    hideElement(QStringLiteral("#error_panel"));
}
