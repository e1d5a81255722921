#include <ui/x11desktop.h>

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace Brellow {

namespace X11Desktop {

namespace {

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    free(reply);
    return result;
}

constexpr uint32_t allDesktops = 0xFFFFFFFF;
constexpr uint32_t sourceApplication = 1;

void sendToRoot(xcb_connection_t *c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                const uint32_t (&data)[4])
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(std::begin(data), std::end(data), event.data.data32);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

// The states Brellow adds to what Qt asks for (above, from the stay-on-top flag).
std::vector<xcb_atom_t> extraStates(xcb_connection_t *c)
{
    return {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER"),
            atom(c, "_NET_WM_STATE_STICKY")};
}

// The root window of the window's screen and that screen's number.
bool rootOf(xcb_connection_t *c, xcb_window_t window, xcb_window_t *root, int *screenNumber)
{
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!geometry)
        return false;
    *root = geometry->root;
    free(geometry);
    int n = 0;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem;
         xcb_screen_next(&it), ++n) {
        if (it.data->root == *root) {
            *screenNumber = n;
            return true;
        }
    }
    return false;
}

} // namespace

bool isActive()
{
    return connection() != nullptr;
}

void setStatesBeforeMap(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return;
    const auto w = xcb_window_t(window);
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");

    std::vector<xcb_atom_t> states;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, netWmState, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (reply) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            states.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }
    for (const xcb_atom_t state : extraStates(c)) {
        if (std::find(states.begin(), states.end(), state) == states.end())
            states.push_back(state);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, netWmState, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    // Window managers without the sticky state put a window on every workspace
    // by its desktop number instead.
    const uint32_t desktop = allDesktops;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
                        32, 1, &desktop);
    xcb_flush(c);
}

void requestStates(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return;
    const auto w = xcb_window_t(window);
    xcb_window_t root = XCB_WINDOW_NONE;
    int screen = 0;
    if (!rootOf(c, w, &root, &screen))
        return;

    // One message changes at most two states.
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
    const std::vector<xcb_atom_t> states = extraStates(c);
    constexpr uint32_t add = 1;
    for (size_t i = 0; i < states.size(); i += 2) {
        const uint32_t second = i + 1 < states.size() ? states[i + 1] : 0;
        sendToRoot(c, root, w, netWmState, {add, states[i], second, sourceApplication});
    }
    sendToRoot(c, root, w, atom(c, "_NET_WM_DESKTOP"), {allDesktops, sourceApplication, 0, 0});
    xcb_flush(c);
}

bool compositorRunning(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return false;
    xcb_window_t root = XCB_WINDOW_NONE;
    int screen = 0;
    if (!rootOf(c, xcb_window_t(window), &root, &screen))
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    const xcb_atom_t selection = atom(c, name.constData());
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    if (!reply)
        return false;
    const bool owned = reply->owner != XCB_WINDOW_NONE;
    free(reply);
    return owned;
}

} // namespace X11Desktop

} // namespace Brellow
