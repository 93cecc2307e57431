// A drag source that speaks the X drag-and-drop protocol (version 5) straight to one target
// window, the way a file manager does when the user lets go of files over it: Enter, Position,
// wait for the target's Status, Drop, hand over the text/uri-list selection when asked, wait for
// Finished. No pointer is moved, so the drop is the same on a busy machine.
//
//   xdnd_drag_source WINDOW X Y PATH...
//
// WINDOW is the target's X window id, X and Y the drop point in root coordinates. Exit status:
// 0 the target accepted and finished the drop, 1 it refused it, 2 it is not drop-aware, 3 it did
// not answer in time, 4 bad arguments or no display.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr long kProtocolVersion = 5;
constexpr auto kAnswerTimeout = std::chrono::seconds(10);

struct Atoms {
    Atom aware, enter, position, status, drop, finished, leave, selection, actionCopy, uriList, timestampProbe;
    explicit Atoms(Display* display)
        : aware(XInternAtom(display, "XdndAware", False)),
          enter(XInternAtom(display, "XdndEnter", False)),
          position(XInternAtom(display, "XdndPosition", False)),
          status(XInternAtom(display, "XdndStatus", False)),
          drop(XInternAtom(display, "XdndDrop", False)),
          finished(XInternAtom(display, "XdndFinished", False)),
          leave(XInternAtom(display, "XdndLeave", False)),
          selection(XInternAtom(display, "XdndSelection", False)),
          actionCopy(XInternAtom(display, "XdndActionCopy", False)),
          uriList(XInternAtom(display, "text/uri-list", False)),
          timestampProbe(XInternAtom(display, "KAVELUNE_TEST_TIMESTAMP", False)) {}
};

// file:// URI of an absolute path, with everything but unreserved characters and '/' escaped.
std::string fileUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

// A server time stamp, taken from the notice of a property change on our own window; the
// selection and the drop carry it as a real desktop's drag source would.
Time serverTime(Display* display, Window window, Atom probe) {
    XChangeProperty(display, window, probe, XA_STRING, 8, PropModeReplace, nullptr, 0);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    return event.xproperty.time;
}

void sendMessage(Display* display, Window target, Atom type, const long (&data)[5]) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// Hands the uri list to whoever asks for the drag selection.
void answerSelectionRequest(Display* display, const XSelectionRequestEvent& request, const Atoms& atoms,
                            const std::string& uriList) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    const Atom property = request.property != None ? request.property : request.target;
    if (request.target == atoms.uriList) {
        XChangeProperty(display, request.requestor, property, atoms.uriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(uriList.data()), static_cast<int>(uriList.size()));
        reply.xselection.property = property;
    } else if (request.target == XInternAtom(display, "TARGETS", False)) {
        const Atom targets[] = {atoms.uriList};
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets), 1);
        reply.xselection.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

// The next client message of `type` for our window, serving selection requests meanwhile.
bool awaitMessage(Display* display, Atom type, const Atoms& atoms, const std::string& uriList, XClientMessageEvent& out) {
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) {
                answerSelectionRequest(display, event.xselectionrequest, atoms, uriList);
            } else if (event.type == ClientMessage && event.xclient.message_type == type) {
                out = event.xclient;
                return true;
            }
        }
        pollfd poller{ConnectionNumber(display), POLLIN, 0};
        poll(&poller, 1, 50);
    }
    return false;
}

bool isDropAware(Display* display, Window target, const Atoms& atoms) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, target, atoms.aware, 0, 1, False, AnyPropertyType, &type,
                                          &format, &count, &after, &data) == Success &&
                       type != None && count == 1;
    const bool aware = found && *reinterpret_cast<unsigned long*>(data) >= 3;
    if (data) XFree(data);
    return aware;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WINDOW X Y PATH...\n", argv[0]);
        return 4;
    }
    const Window target = std::strtoul(argv[1], nullptr, 0);
    const long x = std::strtol(argv[2], nullptr, 10);
    const long y = std::strtol(argv[3], nullptr, 10);
    std::string uriList;
    for (int i = 4; i < argc; ++i) uriList += fileUri(argv[i]) + "\r\n";

    Display* display = XOpenDisplay(nullptr);
    if (!display) return 4;
    const Atoms atoms(display);
    if (!isDropAware(display, target, atoms)) {
        std::fprintf(stderr, "window 0x%lx is not drop-aware\n", target);
        return 2;
    }

    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    const Window source = XCreateWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, CopyFromParent,
                                        InputOnly, CopyFromParent, CWEventMask, &attributes);
    const Time time = serverTime(display, source, atoms.timestampProbe);
    XSetSelectionOwner(display, atoms.selection, source, time);

    const long src = static_cast<long>(source);
    sendMessage(display, target, atoms.enter, {src, kProtocolVersion << 24, static_cast<long>(atoms.uriList), 0, 0});
    sendMessage(display, target, atoms.position,
                {src, 0, (x << 16) | (y & 0xffff), static_cast<long>(time), static_cast<long>(atoms.actionCopy)});

    XClientMessageEvent status{};
    if (!awaitMessage(display, atoms.status, atoms, uriList, status)) {
        std::fprintf(stderr, "no XdndStatus\n");
        return 3;
    }
    if ((status.data.l[1] & 1) == 0) {
        sendMessage(display, target, atoms.leave, {src, 0, 0, 0, 0});
        std::fprintf(stderr, "the target refused the drop\n");
        XCloseDisplay(display);
        return 1;
    }
    sendMessage(display, target, atoms.drop, {src, 0, static_cast<long>(time), 0, 0});
    XClientMessageEvent finished{};
    if (!awaitMessage(display, atoms.finished, atoms, uriList, finished)) {
        std::fprintf(stderr, "no XdndFinished\n");
        return 3;
    }
    XCloseDisplay(display);
    return (finished.data.l[1] & 1) != 0 ? 0 : 1;
}
