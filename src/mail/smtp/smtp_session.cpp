#include "mail/smtp/smtp_session.h"

#include <algorithm>

#include "mail/smtp/smtp_reply.h"

namespace kavelune {
namespace {

// Far beyond any real reply (an EHLO list is a few hundred bytes); a server that keeps
// talking without ending its reply is treated as broken rather than buffered without end.
constexpr std::size_t kLongestReply = 64 * 1024;
constexpr std::size_t kOutgoingBuffer = 16 * 1024;
// While a cancel flag is watched, waits are cut into slices this long so the user's cancel is
// noticed promptly even while a server is slow to answer.
constexpr std::chrono::milliseconds kCancelPoll{200};

}  // namespace

SmtpSession::SmtpSession(MailConnection& connection, std::chrono::milliseconds timeout,
                         const std::atomic<bool>* cancel)
    : connection_(connection), timeout_(timeout), cancel_(cancel) {
    outgoing_.reserve(kOutgoingBuffer);
}

bool SmtpSession::cancelRequested() const {
    return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
}

bool SmtpSession::sendLine(std::string_view line) {
    if (!flush())
        return false;
    std::string command;
    command.reserve(line.size() + 2);
    command.append(line).append("\r\n");
    return connection_.write(command);
}

ReplyStatus SmtpSession::readReply(int expectedCode) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout_;
    for (;;) {
        const SmtpReplyScan reply = scanSmtpReply(received_);
        if (reply.length > 0) {
            const bool expected = replyHasCode(reply, expectedCode);
            lastReply_.assign(received_, 0, reply.length);
            received_.erase(0, reply.length);
            return expected ? ReplyStatus::Expected : ReplyStatus::Other;
        }
        const auto failWith = [&](ReplyStatus status) {
            if (!received_.empty())
                lastReply_ = received_.substr(0, kLongestReply);
            return status;
        };
        if (received_.size() > kLongestReply)
            return failWith(ReplyStatus::Lost);
        if (cancelRequested())
            return failWith(ReplyStatus::Cancelled);

        const auto now = Clock::now();
        if (now >= deadline)
            return failWith(ReplyStatus::TimedOut);
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (cancel_ != nullptr)
            wait = std::min(wait, kCancelPoll);
        const auto waitEnd = now + wait;
        if (!connection_.readSome(received_, wait)) {
            // The connection waits out its whole slice when nothing arrives; an earlier false
            // means it closed or failed.
            if (Clock::now() < waitEnd)
                return failWith(ReplyStatus::Lost);
        }
    }
}

bool SmtpSession::write(std::string_view bytes) {
    if (writeFailed_)
        return false;
    if (outgoing_.size() + bytes.size() > kOutgoingBuffer) {
        if (!flush())
            return false;
        if (bytes.size() >= kOutgoingBuffer) {  // large pieces go straight from the caller's buffer
            writeFailed_ = !connection_.write(bytes);
            return !writeFailed_;
        }
    }
    outgoing_.append(bytes);
    return true;
}

bool SmtpSession::flush() {
    if (writeFailed_)
        return false;
    if (!outgoing_.empty()) {
        writeFailed_ = !connection_.write(outgoing_);
        outgoing_.clear();
    }
    return !writeFailed_;
}

void SmtpSession::sendQuietly(std::string_view bytes) {
    outgoing_.clear();
    connection_.write(bytes);
}

}  // namespace kavelune
