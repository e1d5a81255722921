#include <ui/screenlayout.h>

#include <ui/placement.h>

#include <QGuiApplication>
#include <QScreen>

#include <limits>

namespace Brellow {

namespace {

// Squared distance from `point` to the nearest pixel of `rect`.
qint64 distanceSquared(const QPoint &point, const QRect &rect)
{
    const qint64 dx = point.x() < rect.left()    ? rect.left() - point.x()
                      : point.x() > rect.right() ? point.x() - rect.right()
                                                 : 0;
    const qint64 dy = point.y() < rect.top()      ? rect.top() - point.y()
                      : point.y() > rect.bottom() ? point.y() - rect.bottom()
                                                  : 0;
    return dx * dx + dy * dy;
}

} // namespace

ScreenLayout ScreenLayout::current()
{
    QList<ScreenArea> screens;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary)
        screens.append({primary->name(), primary->geometry(), primary->availableGeometry()});
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            screens.append({screen->name(), screen->geometry(), screen->availableGeometry()});
    }
    return ScreenLayout(std::move(screens));
}

int ScreenLayout::screenOf(const QRect &window) const
{
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < m_screens.size(); ++i) {
        const QRect common = m_screens.at(i).geometry.intersected(window);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (best >= 0)
        return best;
    qint64 nearest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < m_screens.size(); ++i) {
        const qint64 distance = distanceSquared(window.center(), m_screens.at(i).geometry);
        if (distance < nearest) {
            best = i;
            nearest = distance;
        }
    }
    return best;
}

int ScreenLayout::indexOf(const QString &name) const
{
    for (int i = 0; i < m_screens.size(); ++i) {
        if (m_screens.at(i).name == name)
            return i;
    }
    return -1;
}

int ScreenLayout::limit(const ScreenArea &screen)
{
    return screen.geometry.top() + Placement::screenLimit(screen.available, screen.geometry);
}

QPoint ScreenLayout::firstStart(const ScreenArea &screen)
{
    const int ownLimit = Placement::screenLimit(screen.available, screen.geometry);
    return screen.geometry.topLeft() + Placement::defaultPosition(screen.available, ownLimit);
}

QPoint ScreenLayout::fitOnto(const QRect &window, const ScreenArea &screen)
{
    const QRect &free = screen.available;
    // The left and top edges win over the right and bottom ones: on a screen too
    // small for the window, its header with the drag strip stays in reach.
    const int x = qMax(free.left(), qMin(window.x(), free.right() + 1 - window.width()));
    const int bottom = qMin(limit(screen), free.bottom() + 1);
    const int y = qMax(free.top(), qMin(window.y(), bottom - window.height()));
    return {x, y};
}

bool ScreenLayout::liesOn(const QRect &window, const ScreenArea &screen)
{
    return screen.geometry.contains(window);
}

QPoint ScreenLayout::restoredPosition(const std::optional<QRect> &saved) const
{
    if (m_screens.isEmpty())
        return saved ? saved->topLeft() : QPoint();
    if (!saved)
        return firstStart(m_screens.first());
    for (const ScreenArea &screen : m_screens) {
        if (liesOn(*saved, screen))
            return saved->topLeft();
    }
    return fitOnto(*saved, m_screens.at(screenOf(*saved)));
}

std::optional<QPoint> ScreenLayout::afterChange(const QRect &window, const ScreenLayout &before,
                                                const ScreenLayout &after)
{
    if (after.isEmpty())
        return std::nullopt;
    const int ownBefore = before.screenOf(window);
    const int ownAfter = ownBefore < 0 ? -1 : after.indexOf(before.screens().at(ownBefore).name);
    if (ownAfter < 0) {
        // Its screen is gone: the nearest of those left takes it.
        return fitOnto(window, after.screens().at(after.screenOf(window)));
    }
    const ScreenArea &was = before.screens().at(ownBefore);
    const ScreenArea &own = after.screens().at(ownAfter);
    if (own == was)
        return std::nullopt;
    const QPoint fitted = fitOnto(window, own);
    if (fitted == window.topLeft())
        return std::nullopt;
    // A window the agent left partly off its screen, or below its limit, stays
    // there as long as the screen shows as much of it as before; one that fitted
    // is kept fitting.
    const bool fittedBefore = fitOnto(window, was) == window.topLeft();
    if (!fittedBefore && window.intersected(own.geometry) == window.intersected(was.geometry))
        return std::nullopt;
    return fitted;
}

} // namespace Brellow
