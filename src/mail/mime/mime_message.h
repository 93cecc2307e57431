#pragma once

#include <ctime>
#include <functional>
#include <string_view>

#include "mail/mime/message_sink.h"

namespace kavelune {

// What the message content is made of; every text is the bytes as they go out, in `charset`.
struct MimeMessage {
    std::string_view mailerHeader;  // a whole header line with its CR LF; none when empty
    std::string_view toAddress;     // the first recipient only, however many there are
    std::string_view toName;
    std::string_view fromAddress;
    std::string_view fromName;
    std::string_view replyToAddress;  // no Reply-To: when empty
    std::string_view replyToName;
    std::string_view subject;
    std::string_view charset;
    std::string_view plainBody;
    std::string_view htmlBody;
    const std::function<void()>* progressStep = nullptr;
    std::time_t date = 0;
};

struct MimeWriteResult {
    enum class Status { Written, Failed, Cancelled } status = Status::Written;
    const char* failureText = "";  // for Failed: the text of the part that could not be sent
};

// The user's cancel, exactly as the user sees it (with its trailing space).
inline constexpr const char* kUserCancelText = "UserBreak: Cancel message ";

// Writes the message between DATA and the closing period: the headers, then a
// multipart/alternative body with the plain text and the HTML page, both as 8-bit text.
MimeWriteResult writeMimeMessage(const MimeMessage& message, MessageSink& sink);

}  // namespace kavelune
