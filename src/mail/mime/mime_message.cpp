#include "mail/mime/mime_message.h"

#include <string>

#include "mail/mime/body_lines.h"
#include "mail/mime/mail_date.h"

namespace kavelune {
namespace {

constexpr std::string_view kBoundary = "#BOUNDARY#";

// A header value must stay on its line: a line break inside a subject or an address would start
// a header (or an SMTP command) of the sender's making.
std::string singleLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return out;
}

std::string addressHeader(std::string_view name, std::string_view address, std::string_view displayName) {
    std::string line(name);
    line.append(": <").append(singleLine(address)).append(">");
    if (!displayName.empty())
        line.append(" (").append(singleLine(displayName)).append(")");
    line.append("\r\n");
    return line;
}

std::string partHeader(std::string_view contentType, std::string_view charset, std::string_view encodingField) {
    std::string part = "--";
    part.append(kBoundary).append("\r\nContent-Type: ").append(contentType).append(";\r\n\tcharset=\"");
    part.append(singleLine(charset)).append("\"\r\n").append(encodingField).append("\r\n");
    return part;
}

class ItemWriter {
public:
    explicit ItemWriter(MessageSink& sink) : sink_(sink) {}

    // Items with a failure text end the message when they cannot be sent; the others go out as
    // best they can (a lost connection shows at the next item that checks).
    bool send(std::string_view bytes, const char* failureText) {
        if (sink_.write(bytes) || failureText == nullptr)
            return true;
        result.status = MimeWriteResult::Status::Failed;
        result.failureText = failureText;
        return false;
    }

    MimeWriteResult result;

private:
    MessageSink& sink_;
};

}  // namespace

MimeWriteResult writeMimeMessage(const MimeMessage& message, MessageSink& sink) {
    ItemWriter item(sink);
    const bool headersSent =
        item.send("Date: " + formatMailDate(message.date) + "\r\n", "Error: Failed to send DATE") &&
        (message.mailerHeader.empty() || item.send(message.mailerHeader, "Error: Failed to send X-Mailer")) &&
        item.send(addressHeader("To", message.toAddress, message.toName), "Error: Failed to send TO") &&
        item.send(addressHeader("From", message.fromAddress, message.fromName), "Error: Failed to send From") &&
        (message.replyToAddress.empty() ||
         item.send(addressHeader("Reply-To", message.replyToAddress, message.replyToName),
                   "Error: Failed to send Reply-To")) &&
        item.send("Subject: " + singleLine(message.subject) + "\r\n", "Error: Failed to send Subject");
    if (!headersSent)
        return item.result;

    std::string multipart = "MIME-Version: 1.0\r\nContent-type: multipart/alternative;\r\n\tboundary=\"";
    multipart.append(kBoundary).append("\"\r\n\r\nThis is a multi-part message in MIME format.\r\n\r\n");
    item.send(multipart, nullptr);
    item.send(partHeader("text/plain", message.charset, "Content-Transfer-Encoding: 8bit"), nullptr);
    if (!item.send("\r\n", "Error: Failed to send empty line needed after headers"))
        return item.result;

    if (writeBodyLines(sink, message.plainBody, {}) != BodyWriteStatus::Written) {
        item.result = {MimeWriteResult::Status::Failed, "Error: Failed to send message text"};
        return item.result;
    }
    if (!item.send("\r\n", "Error: Failed to send empty line needed after sending pure body"))
        return item.result;

    // The two spaces after the colon are how this field has always been written.
    item.send("\r\n" + partHeader("text/html", message.charset, "Content-Transfer-Encoding:  8bit") + "\r\n", nullptr);

    BodyLineOptions html;
    html.breakAfterLastLine = true;
    html.progressStep = message.progressStep;
    html.honourCancel = true;
    switch (writeBodyLines(sink, message.htmlBody, html)) {
    case BodyWriteStatus::Written:
        break;
    case BodyWriteStatus::LineFailed:
        return {MimeWriteResult::Status::Failed, "Error: Failed to send message text"};
    case BodyWriteStatus::LineBreakFailed:
        return {MimeWriteResult::Status::Failed, "Error: Failed to send empty line needed after headers(1)"};
    case BodyWriteStatus::Cancelled:
        return {MimeWriteResult::Status::Cancelled, kUserCancelText};
    }

    std::string closing = "\r\n--";
    closing.append(kBoundary).append("--");  // the terminating "\r\n.\r\n" supplies the line break
    item.send(closing, nullptr);
    return item.result;
}

}  // namespace kavelune
