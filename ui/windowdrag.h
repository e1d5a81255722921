#pragma once

#include <QPoint>

class QEvent;
class QWidget;

namespace Brellow {

// Moves Brellow's frameless window by the header strip of its page: a press in the
// strip (any button) starts a drag, moves carry the window along with the pointer,
// and a release ends it.
class WindowDrag
{
public:
    // The header strip that starts a drag, in view coordinates.
    static bool inStrip(const QPoint &pos);

    // Looks at one event sent to `child`, a widget inside the view, and moves
    // `window` while dragging. Returns true when the event is kept from the page.
    bool handle(const QWidget *child, const QEvent *event, QWidget *window);

    bool isDragging() const { return m_dragging; }

private:
    QPoint m_pressPos;
    bool m_dragging = false;
};

} // namespace Brellow
