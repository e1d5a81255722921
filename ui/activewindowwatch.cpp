#include <ui/activewindowwatch.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace Brellow {

namespace {

// Who asks for the activation, as the window manager is told: a pager speaks for
// the user (here, the agent's Escape), so the request is not weighed as focus
// stealing.
constexpr uint32_t sourcePager = 2;

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t activeWindowAtom(xcb_connection_t *c)
{
    static const char name[] = "_NET_ACTIVE_WINDOW";
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom != XCB_ATOM_NONE)
        return atom;
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    if (reply) {
        atom = reply->atom;
        free(reply);
    }
    return atom;
}

xcb_window_t firstRoot(xcb_connection_t *c)
{
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

bool isOwnWindow(WId window)
{
    const QWindowList windows = QGuiApplication::allWindows();
    for (const QWindow *w : windows) {
        // winId() would create a native window for one that has none yet.
        if (w->handle() && w->winId() == window)
            return true;
    }
    return false;
}

bool isViewable(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (!reply)
        return false;
    const bool viewable = reply->map_state == XCB_MAP_STATE_VIEWABLE;
    free(reply);
    return viewable;
}

void sendActivation(xcb_connection_t *c, xcb_window_t root, xcb_window_t window,
                    xcb_window_t current)
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = activeWindowAtom(c);
    event.data.data32[0] = sourcePager;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = current;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace

ActiveWindowWatch::ActiveWindowWatch(QObject *parent) : QObject(parent)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    const xcb_window_t root = firstRoot(c);
    // Qt already listens to the root's properties; this keeps it so should that
    // ever change, without taking away any event Qt asked for.
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    if (attributes) {
        if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(c);
        }
        free(attributes);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    readActiveWindow();
}

ActiveWindowWatch::~ActiveWindowWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool ActiveWindowWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    xcb_connection_t *c = connection();
    if (c && notify->atom == activeWindowAtom(c) && notify->window == firstRoot(c))
        readActiveWindow();
    return false;
}

void ActiveWindowWatch::readActiveWindow()
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, firstRoot(c), activeWindowAtom(c), XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    if (!reply)
        return;
    if (reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
        const auto window = *static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
        if (window != XCB_WINDOW_NONE && !isOwnWindow(window))
            m_previous = window;
    }
    free(reply);
}

bool ActiveWindowWatch::handBack()
{
    xcb_connection_t *c = connection();
    if (!c || !m_previous || !isViewable(c, xcb_window_t(m_previous)))
        return false;
    const QWindow *focus = QGuiApplication::focusWindow();
    sendActivation(c, firstRoot(c), xcb_window_t(m_previous),
                   focus && focus->handle() ? xcb_window_t(focus->winId())
                                            : xcb_window_t(XCB_WINDOW_NONE));
    return true;
}

} // namespace Brellow
