#include "platform/qt/window_visibility.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

namespace kavelune::qt {

WindowVisibility::WindowVisibility(unsigned windowId, std::function<void(bool covered)> changed)
    : windowId_(windowId), changed_(std::move(changed)) {
    // Ask for visibility reports on top of the events Qt already selected for the window.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, windowId_), nullptr);
        if (attributes) {
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
            xcb_change_window_attributes(connection, windowId_, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection);
            std::free(attributes);
        }
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowVisibility::~WindowVisibility() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool WindowVisibility::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_VISIBILITY_NOTIFY) {
        return false;
    }
    auto* visibility = reinterpret_cast<xcb_visibility_notify_event_t*>(event);
    if (visibility->window == windowId_) {
        changed_(visibility->state == XCB_VISIBILITY_FULLY_OBSCURED);
    }
    return false;  // Qt may still want it
}

}  // namespace kavelune::qt
