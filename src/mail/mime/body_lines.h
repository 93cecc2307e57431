#pragma once

#include <functional>
#include <string_view>

#include "mail/mime/message_sink.h"

namespace kavelune {

enum class BodyWriteStatus { Written, LineFailed, LineBreakFailed, Cancelled };

struct BodyLineOptions {
    // Whether the last line also gets a CR LF (the HTML body) or ends as the text ends (the
    // plain body).
    bool breakAfterLastLine = false;
    // Called once per 2048 characters of the body, and the sink's cancel flag is honoured;
    // both only for the long HTML body.
    const std::function<void()>* progressStep = nullptr;
    bool honourCancel = false;
};

inline constexpr std::size_t kProgressStepCharacters = 2048;

// Writes `body` from the caller's buffer without copying it whole: each line feed (and a
// carriage return just before it) leaves as CR LF, and a line that begins with "." gets a second
// "." so that no line of the body can end the message early.
BodyWriteStatus writeBodyLines(MessageSink& sink, std::string_view body, const BodyLineOptions& options);

}  // namespace kavelune
