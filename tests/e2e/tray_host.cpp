// A bare system tray for tests of the program's tray icon under Xvfb, which has none: it owns
// the screen's tray selection and docks every icon asked for (the XEmbed request), one 24 x 24
// slot after the other leftwards from the top-right corner of the screen.
//
//   tray_host
//
// Runs until it is killed.

#include <X11/Xlib.h>

#include <cstdio>

namespace {

constexpr int kIconSize = 24;
constexpr long kRequestDock = 0;

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x303030;
    const Window tray = XCreateWindow(display, root, DisplayWidth(display, screen) - kIconSize * 4, 0, kIconSize * 4,
                                      kIconSize, 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display, tray);

    char selectionName[32];
    std::snprintf(selectionName, sizeof selectionName, "_NET_SYSTEM_TRAY_S%d", screen);
    const Atom selection = XInternAtom(display, selectionName, False);
    const Atom opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
    XSetSelectionOwner(display, selection, tray, CurrentTime);
    if (XGetSelectionOwner(display, selection) != tray) return 2;
    // Tells clients that started before us that a tray is here.
    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = XInternAtom(display, "MANAGER", False);
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = static_cast<long>(selection);
    manager.xclient.data.l[2] = static_cast<long>(tray);
    XSendEvent(display, root, False, StructureNotifyMask, &manager);
    XFlush(display);

    int docked = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ClientMessage || event.xclient.message_type != opcode ||
            event.xclient.data.l[1] != kRequestDock) {
            continue;
        }
        const auto icon = static_cast<Window>(event.xclient.data.l[2]);
        ++docked;
        XReparentWindow(display, icon, tray, kIconSize * (4 - docked), 0);
        XResizeWindow(display, icon, kIconSize, kIconSize);
        XMapWindow(display, icon);
        XFlush(display);
    }
}
