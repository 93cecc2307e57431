#include "platform/qt/window_shape_aside.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include "platform/qt/x11_connection.h"

namespace kavelune::qt {

namespace {

bool shapeExtensionPresent(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shape_id);
    return extension && extension->present;
}

}  // namespace

WindowShapeAside::WindowShapeAside(unsigned long windowId) : windowId_(windowId) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !shapeExtensionPresent(connection)) {
        return;
    }
    // No rectangles: nothing of the window is left on the screen.
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(windowId_), 0, 0,
                         0, nullptr);
    xcb_flush(connection);
    active_ = true;
}

WindowShapeAside::~WindowShapeAside() {
    xcb_connection_t* connection = active_ ? x11Connection() : nullptr;
    if (!connection) {
        return;
    }
    // No shape at all rather than a rectangle of today's size, so the window's outline keeps
    // following its size as the fit grows it.
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                   static_cast<xcb_window_t>(windowId_), 0, 0, XCB_NONE);
    xcb_flush(connection);
}

}  // namespace kavelune::qt
