#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "mail/mime/message_sink.h"
#include "mail/smtp/mail_connection.h"

namespace kavelune {

enum class ReplyStatus {
    Expected,   // the reply carried the expected code
    Other,      // a complete reply with another code
    TimedOut,   // no complete reply within the time-out
    Lost,       // the connection failed or closed, or the reply grew past all reason
    Cancelled,  // the user cancelled while we waited
};

// One SMTP conversation over a connection: command lines out, whole replies in (however many
// packets they take, within the time-out), and the message content buffered on its way out.
class SmtpSession final : public MessageSink {
public:
    SmtpSession(MailConnection& connection, std::chrono::milliseconds timeout,
                const std::atomic<bool>* cancel);

    // Writes `line` followed by CR LF.
    bool sendLine(std::string_view line);
    ReplyStatus readReply(int expectedCode);

    // The text of the last reply received (or of the part of one that arrived before it
    // failed); empty before the first.
    const std::string& lastReply() const { return lastReply_; }
    void clearLastReply() { lastReply_.clear(); }
    void discardUnread() { received_.clear(); }

    // Message content goes through a buffer so that a body of many short lines leaves in
    // large writes (one TLS record each, not one per line).
    bool write(std::string_view bytes) override;
    bool cancelRequested() const override;
    bool flush();

    // Once the message has been ended the server decides its fate; a cancel from then on would
    // only hide whether it was accepted.
    void stopWatchingCancel() { cancel_ = nullptr; }

    // Sends the given lines as they are, ignoring failures (the failure path's farewell).
    void sendQuietly(std::string_view bytes);

private:
    MailConnection& connection_;
    std::chrono::milliseconds timeout_;
    const std::atomic<bool>* cancel_;
    std::string received_;  // bytes read past the last reply
    std::string lastReply_;
    std::string outgoing_;
    bool writeFailed_ = false;
};

}  // namespace kavelune
