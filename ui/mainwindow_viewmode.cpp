#include "mainwindow.h"

#include "application.h"
#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

void MainWindow::setViewMode(int mode, bool placeFromSettings)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const int limit = Placement::screenLimit(available, screen->geometry());

    QPoint position = pos();
    if (placeFromSettings) {
        const QSettings *settings = Application::instance()->settings();
        const QString key = QStringLiteral("mainWindowGeometry");
        if (settings->contains(key)) {
            restoreGeometry(settings->value(key).toByteArray());
            position = pos();
        } else {
            position = Placement::defaultPosition(available, limit);
        }
    }

    int newHeight = ExpandedHeight;
    switch (mode) {
    case ExpandedMode:
    case MediaMode:
        if (viewMode == mode)
            return;
        if (pageLoaded) {
            if (loginState == LoggedIn) {
                showElement(QStringLiteral("#button_collapse"));
                hideElement(QStringLiteral("#button_expand"));
            }
            removeElementClass(QStringLiteral("#container"), QStringLiteral("container-collapsed"));
            if (mode == ExpandedMode) {
                hideElement(QStringLiteral("#media_box"));
                showElement(QStringLiteral("#main_box"));
                setElementText(QStringLiteral("#media_button"), QStringLiteral("Email"));
            } else {
                hideElement(QStringLiteral("#main_box"));
                showElement(QStringLiteral("#media_box"));
                setElementText(QStringLiteral("#media_button"), QStringLiteral("Main"));
            }
            viewMode = mode;
        }
        break;
    case CompactMode:
    default:
        if (viewMode == CompactMode && !placeFromSettings)
            return;
        if (pageLoaded) {
            if (loginState == LoggedIn) {
                showElement(QStringLiteral("#button_expand"));
                hideElement(QStringLiteral("#button_collapse"));
            }
            addElementClass(QStringLiteral("#container"), QStringLiteral("container-collapsed"));
            hideElement(QStringLiteral("#media_box"));
            showElement(QStringLiteral("#main_box"));
            setElementText(QStringLiteral("#media_button"), QStringLiteral("Email"));
            viewMode = CompactMode;
        }
        newHeight = CompactHeight;
        break;
    }

    const bool collapsing = newHeight == CompactHeight && !placeFromSettings;
    position.setY(Placement::settleY(position.y(), height(), newHeight, limit, collapsing));
    setFixedSize(WindowWidth, newHeight);
    move(position);
    setVisible(true);
    raise();
}
