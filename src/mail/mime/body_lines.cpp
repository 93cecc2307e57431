#include "mail/mime/body_lines.h"

#include <algorithm>

namespace kavelune {
namespace {

// Sends the body one line at a time; long lines go out in pieces so that progress and cancel
// keep pace with the bytes actually written.
class LineWriter {
public:
    LineWriter(MessageSink& sink, std::string_view body) : sink_(sink), body_(body) {}

    // Sends [pending, end) as more of the current line.
    bool sendPiece(std::size_t end) {
        if (end <= pending_)
            return true;
        if (atLineStart_ && body_[pending_] == '.' && !sink_.write("."))
            return false;
        atLineStart_ = false;
        const bool written = sink_.write(body_.substr(pending_, end - pending_));
        pending_ = end;
        return written;
    }

    // The line ends at the line feed at `lineFeed`; a carriage return before it is part of the
    // line break, not of the line.
    BodyWriteStatus endLine(std::size_t lineFeed) {
        std::size_t end = lineFeed;
        if (end > pending_ && body_[end - 1] == '\r')
            --end;
        if (!sendPiece(end))
            return BodyWriteStatus::LineFailed;
        if (!sink_.write("\r\n"))
            return BodyWriteStatus::LineBreakFailed;
        pending_ = lineFeed + 1;
        atLineStart_ = true;
        return BodyWriteStatus::Written;
    }

    // Sends what is known of the current line, keeping back a carriage return that may turn
    // out to belong to a line break.
    bool sendKnownPart(std::size_t end) {
        if (end > pending_ && body_[end - 1] == '\r')
            --end;
        return sendPiece(end);
    }

private:
    MessageSink& sink_;
    std::string_view body_;
    std::size_t pending_ = 0;  // first byte of the current line not yet sent
    bool atLineStart_ = true;
};

}  // namespace

BodyWriteStatus writeBodyLines(MessageSink& sink, std::string_view body, const BodyLineOptions& options) {
    LineWriter writer(sink, body);
    std::size_t i = 0;
    while (i < body.size()) {
        if (options.honourCancel && sink.cancelRequested())
            return BodyWriteStatus::Cancelled;
        const std::size_t stepEnd = std::min((i / kProgressStepCharacters + 1) * kProgressStepCharacters, body.size());
        const std::size_t lineFeed = body.find('\n', i);
        if (lineFeed < stepEnd) {
            if (const auto status = writer.endLine(lineFeed); status != BodyWriteStatus::Written)
                return status;
            i = lineFeed + 1;
        } else {
            i = stepEnd;
            if (i < body.size() && !writer.sendKnownPart(i))
                return BodyWriteStatus::LineFailed;
        }
        if (i % kProgressStepCharacters == 0 && options.progressStep != nullptr && *options.progressStep)
            (*options.progressStep)();
    }

    if (!writer.sendPiece(body.size()))
        return BodyWriteStatus::LineFailed;
    if (options.breakAfterLastLine && !sink.write("\r\n"))
        return BodyWriteStatus::LineBreakFailed;
    return BodyWriteStatus::Written;
}

}  // namespace kavelune
