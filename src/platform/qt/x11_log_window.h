#pragma once

#include "edition/activity_log.h"

namespace kavelune::qt {

// Finds another program's window on the X server by its exact title, for the activity log's
// window destination. Top-level windows are searched from the top of the stack down, each with
// the windows directly inside it (where a window manager's frame holds the client window). A
// window's title is its _NET_WM_NAME, or its WM_NAME when it has none, up to 255 bytes.
//
// The window gets each piece, with its terminating NUL, as a run of ClientMessage events of
// type KAVELUNE_LOG_PIECE in format 8: 20 bytes a message, the last one padded with zeros. A
// reader joins the data of the messages and cuts it at the NULs.
//
// Without an X11 connection in the running QGuiApplication (the offscreen platform, Wayland)
// nothing is ever found.
class X11LogWindowFinder : public LogWindowFinder {
public:
    static constexpr const char* kPieceMessageType = "KAVELUNE_LOG_PIECE";
    static constexpr int kBytesPerMessage = 20;
    static constexpr std::size_t kTitleLength = 255;

    std::unique_ptr<LogWindow> find(std::string_view title) override;
};

}  // namespace kavelune::qt
