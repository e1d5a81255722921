#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

namespace Brellow {

// One screen of the desktop as Brellow's placement sees it, in Qt's device-independent
// pixels: the whole screen and the part that task bars leave free.
struct ScreenArea
{
    QString name;
    QRect geometry;
    QRect available;

    bool operator==(const ScreenArea &other) const
    {
        return name == other.name && geometry == other.geometry && available == other.available;
    }
};

// Where Brellow's window may go on a desktop of one or more screens. The window
// belongs to the screen that holds most of it; the screen limit, the first-start
// place and the grow and shrink rules use that screen, measured from its own
// top-left corner.
class ScreenLayout
{
public:
    ScreenLayout() = default;
    explicit ScreenLayout(QList<ScreenArea> screens) : m_screens(std::move(screens)) {}

    // The screens Qt knows now, the primary first.
    static ScreenLayout current();

    const QList<ScreenArea> &screens() const { return m_screens; }
    bool isEmpty() const { return m_screens.isEmpty(); }

    // The screen holding the largest part of `window`; when none holds any of it,
    // the one nearest to it. -1 without screens.
    int screenOf(const QRect &window) const;
    int indexOf(const QString &name) const;

    // The lowest y the window's bottom may reach on `screen`, in desktop coordinates.
    static int limit(const ScreenArea &screen);
    // The first-start place on `screen`, before the window's height is known.
    static QPoint firstStart(const ScreenArea &screen);
    // The window's top-left corner once it lies wholly in the free part of `screen`
    // and above its limit; a window already there keeps its place.
    static QPoint fitOnto(const QRect &window, const ScreenArea &screen);
    // A window that lies wholly on `screen` (task bars count).
    static bool liesOn(const QRect &window, const ScreenArea &screen);

    // Where a window saved at `saved` comes back: brought onto the nearest screen
    // when it no longer lies wholly on one. Without a saved place (or with no
    // screen at all) it is the first start's place on the primary screen.
    QPoint restoredPosition(const std::optional<QRect> &saved) const;

    // After the screens changed from `before` to `after`: where the window moves
    // when its own screen went away, or changed so that the window no longer lies
    // on it; nothing when the window may stay.
    static std::optional<QPoint> afterChange(const QRect &window, const ScreenLayout &before,
                                             const ScreenLayout &after);

private:
    QList<ScreenArea> m_screens;
};

} // namespace Brellow
