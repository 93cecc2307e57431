#include "platform/qt/backdrop_mode.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <string>

#include "base/text.h"

namespace kavelune::qt {

namespace {

// The screen number of $DISPLAY (":0.1" is screen 1); Qt shows its windows there.
int displayScreenNumber() {
    const char* display = std::getenv("DISPLAY");
    if (!display) {
        return 0;
    }
    const std::string text(display);
    const std::size_t colon = text.rfind(':');
    const std::size_t dot = text.find('.', colon == std::string::npos ? 0 : colon);
    return dot == std::string::npos ? 0 : static_cast<int>(leadingInteger(text.substr(dot + 1)));
}

// A compositing manager announces itself by owning the selection _NET_WM_CM_S<screen>.
bool compositorRunning() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const std::string name = "_NET_WM_CM_S" + std::to_string(displayScreenNumber());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (!atom) {
        return false;
    }
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
    }
    std::free(atom);
    return owned;
}

}  // namespace

BackdropMode chooseBackdropMode() {
    if (const char* forced = std::getenv("KAVELUNE_BACKDROP")) {
        if (equalsNoCase(forced, "tiles")) return BackdropMode::Tiles;
        if (equalsNoCase(forced, "translucent")) return BackdropMode::Translucent;
    }
    return compositorRunning() ? BackdropMode::Translucent : BackdropMode::Tiles;
}

const char* backdropModeName(BackdropMode mode) {
    return mode == BackdropMode::Translucent ? "translucent" : "tiles";
}

}  // namespace kavelune::qt
