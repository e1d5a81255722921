#include <ui/windowdrag.h>

#include <QMouseEvent>
#include <QWidget>

namespace Brellow {

bool WindowDrag::inStrip(const QPoint &pos)
{
    return pos.y() <= 25 && pos.x() >= 26 && pos.x() <= 308;
}

bool WindowDrag::handle(const QWidget *child, const QEvent *event, QWidget *window)
{
    // Only mouse events are read as such: the view's children see every other
    // kind of event too.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        m_pressPos = child->mapToParent(mouse->position().toPoint());
        // The page never sees the press that starts a drag.
        if (!inStrip(m_pressPos))
            return false;
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        window->move(mouse->globalPosition().toPoint() - m_pressPos);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return false; // the page always gets the release, also at the end of a drag
    default:
        return false;
    }
}

} // namespace Brellow
