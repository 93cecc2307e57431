// The activity log's window destination on a real X server: another client's window, found by
// its title, reads the pieces back from the client messages it is sent.
#include "platform/qt/x11_log_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace kavelune::qt {
namespace {

using namespace std::chrono_literals;

// A private X server for this test; DISPLAY and the Qt platform point at it while it lives.
class XServer {
public:
    XServer() {
        int channel[2];
        if (pipe(channel) != 0) return;
        server_ = fork();
        if (server_ == 0) {
            close(channel[0]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            const std::string descriptor = std::to_string(channel[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "640x480x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd poller{channel[0], POLLIN, 0};
        char c = 0;
        while (server_ > 0 && poll(&poller, 1, 10000) > 0 && read(channel[0], &c, 1) == 1 &&
               c != '\n') {
            number.push_back(c);
        }
        close(channel[0]);
        if (c != '\n' || number.empty()) return;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("WAYLAND_DISPLAY");
        ready_ = true;
    }
    ~XServer() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    bool ready() const { return ready_; }

private:
    pid_t server_ = -1;
    bool ready_ = false;
};

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

// A bare client, standing in for the program that reads the log.
class Reader {
public:
    Reader() : connection_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    ~Reader() { xcb_disconnect(connection_); }
    bool ready() const { return !xcb_connection_has_error(connection_); }

    xcb_window_t makeWindow(xcb_window_t parent = XCB_WINDOW_NONE) {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window,
                          parent == XCB_WINDOW_NONE ? screen_->root : parent, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        return window;
    }
    void setTitle(xcb_window_t window, const std::string& property, const std::string& type,
                  const std::string& title) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atom(connection_, property),
                            atom(connection_, type), 8, static_cast<std::uint32_t>(title.size()),
                            title.data());
        xcb_flush(connection_);
    }
    void destroy(xcb_window_t window) {
        xcb_destroy_window(connection_, window);
        // The window is gone on the server once a reply after the request has come back.
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    // The pieces that arrive for `window` until `count` have come or a second has passed.
    std::vector<std::string> receivePieces(xcb_window_t window, std::size_t count) {
        const xcb_atom_t pieceType = atom(connection_, X11LogWindowFinder::kPieceMessageType);
        std::vector<std::string> pieces;
        std::string pending;
        const auto deadline = std::chrono::steady_clock::now() + 1s;
        while (pieces.size() < count && std::chrono::steady_clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (!event) {
                pollfd poller{xcb_get_file_descriptor(connection_), POLLIN, 0};
                poll(&poller, 1, 50);
                continue;
            }
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                EXPECT_EQ(message->format, 8);
                if (message->window == window && message->type == pieceType) {
                    for (std::uint8_t byte : message->data.data8) {
                        if (byte == 0) {
                            // The rest of a message after its piece's NUL is padding.
                            pieces.push_back(pending);
                            pending.clear();
                            break;
                        }
                        pending.push_back(static_cast<char>(byte));
                    }
                }
            }
            std::free(event);
        }
        EXPECT_EQ(pending, "");
        return pieces;
    }

private:
    xcb_connection_t* connection_;
    xcb_screen_t* screen_ = nullptr;
};

TEST(X11LogWindowTest, FindsTheReaderByTitleAndSendsItEachPiece) {
    XServer server;
    ASSERT_TRUE(server.ready());
    int argc = 1;
    char name[] = "x11_log_window_test";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    Reader reader;
    ASSERT_TRUE(reader.ready());

    const xcb_window_t logViewer = reader.makeWindow();
    reader.setTitle(logViewer, "_NET_WM_NAME", "UTF8_STRING", "Log Viewer");
    reader.setTitle(logViewer, "WM_NAME", "STRING", "Old Name");
    // A client window that a window manager's frame holds, with only the old title property.
    const xcb_window_t frame = reader.makeWindow();
    const xcb_window_t framed = reader.makeWindow(frame);
    reader.setTitle(framed, "WM_NAME", "STRING", "Framed Reader");

    X11LogWindowFinder finder;
    EXPECT_NE(finder.find("Framed Reader"), nullptr);
    EXPECT_EQ(finder.find("Log"), nullptr);
    EXPECT_EQ(finder.find("Old Name"), nullptr);  // _NET_WM_NAME comes first

    ActivityLog log;
    ASSERT_TRUE(log.open(LogDestination::Window, "Log Viewer", false, &finder));
    ASSERT_EQ(log.destination(), LogDestination::Window);
    // Longer than one message's 20 bytes, and exactly 20 with its NUL.
    const std::string path = "Sequences\\Clips\\a rather long clip.dsq";
    activity_line::clipMotionLoaded(log, path);
    log.write("nineteen characters");
    EXPECT_EQ(reader.receivePieces(logViewer, 4),
              (std::vector<std::string>{"clip motion : ", path, "\r\n", "nineteen characters"}));

    std::unique_ptr<LogWindow> window = finder.find("Log Viewer");
    ASSERT_NE(window, nullptr);
    reader.destroy(logViewer);
    EXPECT_FALSE(window->send("after the window went"));
    EXPECT_EQ(finder.find("Log Viewer"), nullptr);
}

}  // namespace
}  // namespace kavelune::qt
