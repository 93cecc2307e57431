#include "platform/qt/x11_log_window.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/x11_connection.h"

namespace kavelune::qt {

namespace {

// Replies from xcb are malloc'ed; this frees them however the function is left.
template <typename Reply>
struct ReplyPtr {
    Reply* reply = nullptr;
    explicit ReplyPtr(Reply* r) : reply(r) {}
    ~ReplyPtr() { std::free(reply); }
    ReplyPtr(const ReplyPtr&) = delete;
    ReplyPtr& operator=(const ReplyPtr&) = delete;
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

std::vector<xcb_atom_t> internAtoms(xcb_connection_t* connection,
                                    const std::vector<std::string_view>& names) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (std::string_view name : names) {
        cookies.push_back(xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()),
                                          name.data()));
    }
    std::vector<xcb_atom_t> atoms;
    for (xcb_intern_atom_cookie_t cookie : cookies) {
        ReplyPtr reply(xcb_intern_atom_reply(connection, cookie, nullptr));
        atoms.push_back(reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE});
    }
    return atoms;
}

// The children of each window, topmost first. All the requests go out before the first reply
// is awaited.
std::vector<std::vector<xcb_window_t>> childrenOf(xcb_connection_t* connection,
                                                  const std::vector<xcb_window_t>& parents) {
    std::vector<xcb_query_tree_cookie_t> cookies;
    for (xcb_window_t parent : parents) {
        cookies.push_back(xcb_query_tree(connection, parent));
    }
    std::vector<std::vector<xcb_window_t>> result;
    for (xcb_query_tree_cookie_t cookie : cookies) {
        ReplyPtr reply(xcb_query_tree_reply(connection, cookie, nullptr));
        std::vector<xcb_window_t>& children = result.emplace_back();
        if (reply) {
            const xcb_window_t* first = xcb_query_tree_children(reply.reply);
            // The server lists them from the bottom of the stack up.
            children.assign(first, first + xcb_query_tree_children_length(reply.reply));
            std::reverse(children.begin(), children.end());
        }
    }
    return result;
}

class X11LogWindow : public LogWindow {
public:
    X11LogWindow(xcb_window_t window, xcb_atom_t pieceType)
        : window_(window), pieceType_(pieceType) {}

    bool send(std::string_view piece) override {
        xcb_connection_t* connection = x11Connection();
        if (!connection) {
            return false;
        }
        std::string bytes(piece);
        bytes.push_back('\0');
        std::vector<xcb_void_cookie_t> cookies;
        for (std::size_t offset = 0; offset < bytes.size();
             offset += X11LogWindowFinder::kBytesPerMessage) {
            xcb_client_message_event_t event;
            std::memset(&event, 0, sizeof event);
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 8;
            event.window = window_;
            event.type = pieceType_;
            const std::size_t count = std::min<std::size_t>(
                X11LogWindowFinder::kBytesPerMessage, bytes.size() - offset);
            std::memcpy(event.data.data8, bytes.data() + offset, count);
            // No event mask: the event goes to the client that made the window.
            cookies.push_back(xcb_send_event_checked(connection, 0, window_,
                                                     XCB_EVENT_MASK_NO_EVENT,
                                                     reinterpret_cast<const char*>(&event)));
        }
        // Checking waits for the server once, which also makes the piece leave at once; a
        // window that has gone answers with an error here rather than in Qt's event queue.
        bool delivered = true;
        for (xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                std::free(error);
                delivered = false;
            }
        }
        return delivered;
    }

private:
    xcb_window_t window_;
    xcb_atom_t pieceType_;
};

}  // namespace

std::unique_ptr<LogWindow> X11LogWindowFinder::find(std::string_view title) {
    xcb_connection_t* connection = x11Connection();
    // Titles are compared up to their first 255 bytes, so a longer name matches nothing.
    if (!connection || title.size() > kTitleLength) {
        return nullptr;
    }
    const std::vector<xcb_atom_t> atoms =
        internAtoms(connection, {"_NET_WM_NAME", "UTF8_STRING", kPieceMessageType});
    const xcb_atom_t netWmName = atoms[0];
    const xcb_atom_t utf8String = atoms[1];
    const xcb_atom_t pieceType = atoms[2];
    if (pieceType == XCB_ATOM_NONE) {
        return nullptr;
    }

    std::vector<xcb_window_t> roots;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it)) {
        roots.push_back(it.data->root);
    }
    std::vector<xcb_window_t> topLevel;
    for (const std::vector<xcb_window_t>& children : childrenOf(connection, roots)) {
        topLevel.insert(topLevel.end(), children.begin(), children.end());
    }
    // Each top-level window, then the windows just inside it.
    const std::vector<std::vector<xcb_window_t>> inside = childrenOf(connection, topLevel);
    std::vector<xcb_window_t> candidates;
    for (std::size_t i = 0; i < topLevel.size(); ++i) {
        candidates.push_back(topLevel[i]);
        candidates.insert(candidates.end(), inside[i].begin(), inside[i].end());
    }

    // 64 four-byte units hold the 255 bytes compared and one more.
    constexpr std::uint32_t kTitleUnits = 64;
    struct TitleCookies {
        xcb_get_property_cookie_t netWmName;
        xcb_get_property_cookie_t wmName;
    };
    std::vector<TitleCookies> cookies;
    for (xcb_window_t window : candidates) {
        cookies.push_back({xcb_get_property(connection, 0, window, netWmName, utf8String, 0,
                                            kTitleUnits),
                           xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME,
                                            XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleUnits)});
    }
    // Every reply is collected, also after a match, so that none is left waiting in xcb.
    xcb_window_t found = XCB_WINDOW_NONE;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        ReplyPtr utf8(xcb_get_property_reply(connection, cookies[i].netWmName, nullptr));
        ReplyPtr plain(xcb_get_property_reply(connection, cookies[i].wmName, nullptr));
        if (found != XCB_WINDOW_NONE) {
            continue;
        }
        const bool hasUtf8 = utf8 && netWmName != XCB_ATOM_NONE && utf8->type == utf8String;
        xcb_get_property_reply_t* reply = hasUtf8 ? utf8.reply : plain.reply;
        if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8) {
            continue;
        }
        const auto* text = static_cast<const char*>(xcb_get_property_value(reply));
        std::string_view windowTitle(text, static_cast<std::size_t>(
                                               xcb_get_property_value_length(reply)));
        windowTitle = windowTitle.substr(0, kTitleLength);
        // A title ends at its first NUL, as a C string would.
        windowTitle = windowTitle.substr(0, windowTitle.find('\0'));
        if (windowTitle == title) {
            found = candidates[i];
        }
    }
    if (found == XCB_WINDOW_NONE) {
        return nullptr;
    }
    return std::make_unique<X11LogWindow>(found, pieceType);
}

}  // namespace kavelune::qt
