#include <ui/x11shape.h>

#include <ui/windowshape.h>

#include <QGuiApplication>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace Brellow {

namespace X11Shape {

namespace {

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

bool cutCorners(WId window, int radius, qreal scale)
{
    xcb_connection_t *c = connection();
    if (!c)
        return false;
    // Asked on Qt's own connection, after Qt's resize request: the server answers
    // with the new size. Qt rounds the scaled size its own way, so it is read, not
    // computed.
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, xcb_window_t(window)), nullptr);
    if (!geometry)
        return false;
    const QSize size(geometry->width, geometry->height);
    free(geometry);
    if (size.isEmpty())
        return false;

    std::vector<xcb_rectangle_t> rects;
    for (const QRect &r : WindowShape::roundedBox(size, qRound(radius * scale)))
        rects.push_back(
            {int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_YX_BANDED,
                         xcb_window_t(window), 0, 0, uint32_t(rects.size()), rects.data());
    xcb_flush(c);
    return true;
}

void clear(WId window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, xcb_window_t(window), 0, 0,
                   XCB_NONE);
    xcb_flush(c);
}

} // namespace X11Shape

} // namespace Brellow
