// A plain window that notes every mouse button pressed in it, for tests of clicks that another
// window lets through to what lies beneath it.
//
//   click_recorder X Y WIDTH HEIGHT FILE
//
// Maps a grey window at (X, Y) of WIDTH x HEIGHT and appends "press BUTTON X Y" (window
// coordinates) to FILE for each press, flushed at once. Runs until it is killed.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: click_recorder X Y WIDTH HEIGHT FILE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    std::FILE* out = std::fopen(argv[5], "a");
    if (!out) return 2;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x808080;
    attributes.override_redirect = True;  // placed exactly where asked, with no frame
    attributes.event_mask = ButtonPressMask | ExposureMask;
    const Window window = XCreateWindow(
        display, RootWindow(display, screen), std::atoi(argv[1]), std::atoi(argv[2]),
        static_cast<unsigned>(std::atoi(argv[3])), static_cast<unsigned>(std::atoi(argv[4])), 0, CopyFromParent,
        InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XStoreName(display, window, "click recorder");
    XMapWindow(display, window);
    XLowerWindow(display, window);
    XFlush(display);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ButtonPress) {
            std::fprintf(out, "press %u %d %d\n", event.xbutton.button, event.xbutton.x, event.xbutton.y);
            std::fflush(out);
        }
    }
}
