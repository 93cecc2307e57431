#pragma once

#include <functional>
#include <string>

namespace kavelune {

// Window commands the music player emits to its owner, the sprite window.
constexpr int kEndOfSongCommand = 45;      // posted: the owner restarts the song or exits
constexpr int kEngineFailureCommand = 56;  // sent: the text of a failed engine command

// How the music player reaches its owner window. The end-of-song command is meant to be
// queued by the owner and handled after the current frame; the failure text is only valid
// during the call.
using WindowCommandSink = std::function<void(int command, const std::string& text)>;

}  // namespace kavelune
