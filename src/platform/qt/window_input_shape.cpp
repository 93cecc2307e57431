#include "platform/qt/window_input_shape.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include "platform/qt/x11_connection.h"

namespace kavelune::qt {

WindowInputShape::WindowInputShape(unsigned long windowId) : windowId_(windowId) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shape_id);
    available_ = extension && extension->present;
}

WindowInputShape::~WindowInputShape() {
    xcb_connection_t* connection = shaped_ ? x11Connection() : nullptr;
    if (!connection) return;
    // No input shape at all: the whole window takes clicks again.
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, static_cast<xcb_window_t>(windowId_), 0, 0,
                   XCB_NONE);
    xcb_flush(connection);
}

void WindowInputShape::set(const ScreenRect& region) {
    if (!available_ || (shaped_ && region == region_)) return;
    xcb_connection_t* connection = x11Connection();
    if (!connection) return;
    const xcb_rectangle_t rectangle{static_cast<int16_t>(region.left), static_cast<int16_t>(region.top),
                                    static_cast<uint16_t>(region.width()), static_cast<uint16_t>(region.height())};
    const bool empty = region.width() <= 0 || region.height() <= 0;
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                         static_cast<xcb_window_t>(windowId_), 0, 0, empty ? 0 : 1, &rectangle);
    xcb_flush(connection);
    shaped_ = true;
    region_ = region;
}

}  // namespace kavelune::qt
